#pragma once

// Shared helpers for the engine tests: the product's mapping of control
// values to engine settings (so the tests run with realistic settings), a
// prepared engine, a field-by-field bitwise state comparison and a
// deterministic test signal.

#include "product/engine/FetCompressor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace enginetest
{

// The seven product controls, in their own units.
struct Controls
{
    float inputDb = 0.0f;   // -24 .. +36
    float outputDb = 0.0f;  // -24 .. +24
    float attack = 4.0f;    // 1 (800 us) .. 7 (20 us)
    float release = 4.0f;   // 1 (1.1 s) .. 7 (50 ms)
    int ratio = 0;          // 0 "4", 1 "8", 2 "12", 3 "20", 4 "ALL"
    float mix = 1.0f;       // 0 dry .. 1 wet
    bool clean = false;     // false = colour voicing
};

// Writes the block settings the way the product does once per host block.
inline void applyControls(vt::FetCompressor& e, const Controls& c)
{
    const double fs = e.sampleRate;
    const bool all = (c.ratio == 4);

    e.inGainTarget = c.inputDb < -24.0f ? 0.063095741f : std::exp(std::min(36.0f, c.inputDb) * 0.115129255f);
    e.outGainTarget = c.outputDb < -24.0f ? 0.063095741f : std::exp(std::min(24.0f, c.outputDb) * 0.115129255f);
    e.wetTarget = c.mix < 0.0f ? 0.0f : std::min(1.0f, c.mix);
    e.ratioIndex = std::clamp(c.ratio, 0, 4);
    e.colour = c.clean ? 0 : 1;

    const float attackSeconds = c.attack < 1.0f
        ? 0.0008f
        : 0.0008f * std::exp(((std::min(7.0f, c.attack) - 1.0f) / 6.0f) * -3.68887949f);
    e.attackCoef = (float) std::exp(-1.0 / ((all ? 20.0 : 1.0) * (double) attackSeconds * fs));

    const float releaseSeconds = c.release < 1.0f
        ? 1.1f
        : 1.1f * std::exp(((std::min(7.0f, c.release) - 1.0f) / 6.0f) * -3.09104252f);
    e.releaseSeconds = releaseSeconds * (all ? 0.3f : 1.0f);
    e.grSmoothCoef = (float) std::exp(-1.0 / ((double) attackSeconds * 8.0 * (all ? 1.6 : 1.0) * fs));

    static const float kSlope[5] = {3.0f, 7.0f, 11.0f, 19.0f, 24.0f};
    static const float kKnee[5] = {8.0f, 6.0f, 5.0f, 4.0f, 3.0f};
    e.slope = kSlope[e.ratioIndex];
    e.kneeDb = kKnee[e.ratioIndex];
    e.thresholdDb = all ? -23.0f : -20.0f;
    e.drive = (all ? 3.0f : 1.0f) * (c.clean ? 1.0f : 1.5f);

    if (e.snapSmoothing)
    {
        e.inGain = e.inGainTarget;
        e.outGain = e.outGainTarget;
        e.wet = e.wetTarget;
        e.snapSmoothing = false;
    }
}

// An engine as the product's prepare leaves it, with the controls applied.
inline vt::FetCompressor preparedEngine(double fs, int channels, const Controls& c = {})
{
    vt::FetCompressor e;
    e.sampleRate = fs;
    e.numChannels = channels >= 2 ? 2 : 1;
    vt::computeCoefficients(e, fs);
    vt::resetState(e);
    applyControls(e, c);
    return e;
}

inline uint32_t bitsOf(float v)
{
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

inline uint64_t bitsOf(double v)
{
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

inline uint32_t bitsOf(int32_t v) { return (uint32_t) v; }
inline uint32_t bitsOf(uint32_t v) { return v; }
inline uint32_t bitsOf(bool v) { return v ? 1u : 0u; }

// Compares every field of two records bit for bit and names the ones that differ.
inline ::testing::AssertionResult sameState(const vt::FetCompressor& a, const vt::FetCompressor& b)
{
    std::string diff;
#define ENGINETEST_FIELD(f) \
    if (bitsOf(a.f) != bitsOf(b.f)) \
        diff += std::string(" ") + #f;
#define ENGINETEST_PAIR(f) ENGINETEST_FIELD(f[0]) ENGINETEST_FIELD(f[1])
    ENGINETEST_FIELD(sampleRate) ENGINETEST_FIELD(numChannels) ENGINETEST_FIELD(smoothCoef)
    ENGINETEST_FIELD(dcCoef) ENGINETEST_FIELD(attackCoef) ENGINETEST_FIELD(releaseSeconds)
    ENGINETEST_FIELD(inGainTarget) ENGINETEST_FIELD(outGainTarget) ENGINETEST_FIELD(wetTarget)
    ENGINETEST_FIELD(inGain) ENGINETEST_FIELD(outGain) ENGINETEST_FIELD(wet)
    ENGINETEST_FIELD(ratioIndex) ENGINETEST_FIELD(slope) ENGINETEST_FIELD(kneeDb)
    ENGINETEST_FIELD(thresholdDb) ENGINETEST_FIELD(drive) ENGINETEST_FIELD(grDb)
    ENGINETEST_FIELD(grSmoothCoef) ENGINETEST_FIELD(envDb) ENGINETEST_FIELD(compressSeconds)
    ENGINETEST_PAIR(satPrev) ENGINETEST_PAIR(dcState) ENGINETEST_FIELD(snapSmoothing)
    ENGINETEST_FIELD(colour) ENGINETEST_FIELD(lp150Coef) ENGINETEST_FIELD(lp120Coef)
    ENGINETEST_FIELD(lp90Coef) ENGINETEST_FIELD(noiseCoef) ENGINETEST_FIELD(noiseScale)
    ENGINETEST_FIELD(gateEnv) ENGINETEST_FIELD(gateCoef) ENGINETEST_FIELD(silentSamples)
    ENGINETEST_FIELD(holdSamples) ENGINETEST_PAIR(lowGritIn) ENGINETEST_PAIR(lowGritOut)
    ENGINETEST_PAIR(detectorLp) ENGINETEST_PAIR(noiseLp) ENGINETEST_PAIR(noiseSeed)
#undef ENGINETEST_PAIR
#undef ENGINETEST_FIELD
    if (diff.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "fields differ:" << diff;
}

// A deterministic programme-like signal: a low tone, a mid tone and noise
// under a slow amplitude swell, different in each channel.
inline std::vector<float> testSignal(int numSamples, int channel, double fs, float peak)
{
    std::vector<float> out((size_t) numSamples);
    uint32_t seed = 12345u + 977u * (uint32_t) channel;
    for (int i = 0; i < numSamples; ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        const double t = i / fs;
        const double noise = ((double) (seed >> 8) / 16777216.0) * 2.0 - 1.0;
        const double swell = 0.55 + 0.45 * std::sin(6.283185307179586 * 1.3 * t + channel);
        const double s = 0.5 * std::sin(6.283185307179586 * (70.0 + 11.0 * channel) * t)
                       + 0.35 * std::sin(6.283185307179586 * 1130.0 * t + 0.7 * channel)
                       + 0.15 * noise;
        out[(size_t) i] = (float) (peak * swell * s);
    }
    return out;
}

} // namespace enginetest
