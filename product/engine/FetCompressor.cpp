#include "product/engine/FetCompressor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vt
{

namespace
{

// Recirculating filter states are set to 0 below 1e-20 so that they never
// decay into denormals.
inline float flush(float v)
{
    return std::fabs(v) < 1e-20f ? 0.0f : v;
}

constexpr double kTwoPi = 6.28318530717958;
constexpr float kDbToGain = -0.115129255f; // multiply a reduction in dB, then expf
constexpr float kGainToDb = 8.68588924f;   // multiply logf of a level

// Puts the audio state back to its reset values if any recirculating value
// has become NaN or infinite (a host that sent a non-finite sample). Finite
// state is never touched, so finite input is processed exactly as usual.
void recoverFromNonFinite(FetCompressor& e)
{
    // x - x is 0 for every finite x and NaN for NaN and both infinities, so
    // one sum tells whether any of the values is non-finite.
    const float probe = (e.envDb - e.envDb) + (e.grDb - e.grDb)
                      + (e.compressSeconds - e.compressSeconds) + (e.gateEnv - e.gateEnv)
                      + (e.satPrev[0] - e.satPrev[0]) + (e.satPrev[1] - e.satPrev[1])
                      + (e.dcState[0] - e.dcState[0]) + (e.dcState[1] - e.dcState[1])
                      + (e.lowGritIn[0] - e.lowGritIn[0]) + (e.lowGritIn[1] - e.lowGritIn[1])
                      + (e.lowGritOut[0] - e.lowGritOut[0]) + (e.lowGritOut[1] - e.lowGritOut[1])
                      + (e.detectorLp[0] - e.detectorLp[0]) + (e.detectorLp[1] - e.detectorLp[1])
                      + (e.noiseLp[0] - e.noiseLp[0]) + (e.noiseLp[1] - e.noiseLp[1]);
    if (probe == 0.0f)
        return;

    // Keep the snap flag and the smoothed gains: the level glides on from
    // where it was instead of jumping.
    const bool snap = e.snapSmoothing;
    resetState(e);
    e.snapSmoothing = snap;
}

} // namespace

void computeCoefficients(FetCompressor& e, double fs)
{
    e.smoothCoef = (float) std::exp(-1.0 / (0.02 * fs));
    e.dcCoef = (float) std::exp(-1.0 / (0.0318309886183791 * fs));
    e.lp150Coef = 1.0f - (float) std::exp(-kTwoPi * 150.0 / fs);
    e.lp120Coef = 1.0f - (float) std::exp(-kTwoPi * 120.0 / fs);
    e.lp90Coef = 1.0f - (float) std::exp(-kTwoPi * 90.0 / fs);

    // Hiss bandwidth: 0.45 fs, at most 12 kHz, formed in float.
    const float fn = std::min(0.45f * (float) fs, 12000.0f);
    e.noiseCoef = 1.0f - (float) std::exp(-kTwoPi * (double) fn / fs);

    // Uniform white noise in [-1, 1) has RMS 1/sqrt(3); the one-pole low-pass
    // scales its variance by a / (2 - a). Scale the result to -90 dBFS RMS.
    e.noiseScale = 3.1622763e-5f / (std::sqrt(e.noiseCoef / (2.0f - e.noiseCoef)) * 0.57735026f);

    e.gateCoef = (float) std::exp(-1.0 / (0.03 * fs));
    e.holdSamples = (int32_t) (fs * 0.10000000149011612);
}

void resetState(FetCompressor& e)
{
    e.grDb = 0.0f;
    e.envDb = 0.0f;
    e.compressSeconds = 0.0f;
    for (int c = 0; c < 2; ++c)
    {
        e.satPrev[c] = 0.0f;
        e.dcState[c] = 0.0f;
        e.lowGritIn[c] = 0.0f;
        e.lowGritOut[c] = 0.0f;
        e.detectorLp[c] = 0.0f;
        e.noiseLp[c] = 0.0f;
    }
    e.gateEnv = 0.0f;
    // Counted as long silent, so the hiss stays off until the first signal.
    e.silentSamples = 0x40000000;
    e.noiseSeed[0] = 0x9E3779B9u;
    e.noiseSeed[1] = 0x7F4A7C15u;
    e.snapSmoothing = true;
}

void FetCompressor::process(float* const* channels, int numChannelsPassed, int numSamples)
{
    if (numSamples <= 0)
        return;

    // Two channels of state exist; a prepared count above 2 acts as 2.
    const int n = std::min({numChannels, numChannelsPassed, 2});
    const double fs = sampleRate;
    const float invFs = (float) (1.0 / fs);
    const bool isColour = (colour == 1);
    const bool isAll = (ratioIndex == 4);

    for (int i = 0; i < numSamples; ++i)
    {
        float x[2] = {0.0f, 0.0f};
        for (int c = 0; c < n; ++c)
            x[c] = channels[c][i];

        inGain = inGainTarget + smoothCoef * (inGain - inGainTarget);
        outGain = outGainTarget + smoothCoef * (outGain - outGainTarget);
        wet = wetTarget + smoothCoef * (wet - wetTarget);

        // Silence counter and hiss gate (colour only).
        float h = 0.0f;
        if (isColour)
        {
            float p = 0.0f;
            for (int c = 0; c < n; ++c)
                p = std::max(p, std::fabs(x[c]));
            silentSamples = std::min(silentSamples, (int32_t) 0x3FFFFFFF) + 1;
            if (n >= 1 && p > 1e-6f)
                silentSamples = 0;
            const float gateTarget = (silentSamples < holdSamples) ? 1.0f : 0.0f;
            gateEnv = gateTarget + gateCoef * (gateEnv - gateTarget);
            if (gateEnv < 1e-6f)
                gateEnv = 0.0f;
            h = gateEnv * noiseScale;
        }

        // Feedback detector: the signal times the gain of the previous sample.
        const float gFb = std::exp(envDb * kDbToGain);
        float y[2] = {0.0f, 0.0f};
        float dMax = 0.0f;
        for (int c = 0; c < n; ++c)
        {
            const float u = x[c] * inGain;
            if (isColour)
            {
                // Saturate the band below 150 Hz, then high-pass the side chain at 90 Hz.
                lowGritIn[c] = flush(lowGritIn[c] + lp150Coef * (u - lowGritIn[c]));
                const float L = lowGritIn[c];
                y[c] = u + (L / std::sqrt(0.81f * (L * L) + 1.0f) - L);
                detectorLp[c] = detectorLp[c] + lp90Coef * (y[c] - detectorLp[c]);
                dMax = std::max(dMax, std::fabs(gFb * (y[c] - detectorLp[c])));
            }
            else
            {
                y[c] = u;
                dMax = std::max(dMax, std::fabs(u * gFb));
            }
        }
        const float levelDb = std::log(std::max(1e-9f, dMax)) * kGainToDb;

        // Soft-knee gain computer, capped at 40 dB.
        const float over = levelDb - thresholdDb;
        const float half = kneeDb * 0.5f;
        float target;
        if (over <= -half)
            target = 0.0f;
        else if (over >= half)
            target = std::min(40.0f, slope * over);
        else
            target = std::min(40.0f, slope * ((over + half) * (over + half)) / (2.0f * kneeDb));

        // Envelope; accumulated attack time stretches the release up to 2x.
        if (target > envDb)
        {
            envDb = target + attackCoef * (envDb - target);
            compressSeconds = std::min(2.0f, compressSeconds + invFs);
        }
        else
        {
            const float stretch = std::min(2.0f, compressSeconds) * 0.5f + 1.0f;
            const float r = (float) std::exp(-1.0 / ((double) (stretch * releaseSeconds) * fs));
            envDb = target + r * (envDb - target);
            compressSeconds = std::max(0.0f, compressSeconds - invFs);
        }
        if (envDb < 1e-6f)
            envDb = 0.0f;

        // The applied reduction follows the envelope, lagging at most 8 dB.
        grDb = envDb + grSmoothCoef * (grDb - envDb);
        grDb = std::max(grDb, envDb - 8.0f);
        const float gApplied = std::exp(grDb * kDbToGain);

        if (n <= 0)
            continue;

        const float k = (std::min(30.0f, envDb) / 10.0f + 1.0f) * drive * 0.35f;
        for (int c = 0; c < n; ++c)
        {
            const float beta = (isColour && c == 1) ? 0.14f : 0.12f;
            const float b = std::tanh(k * beta);
            float nc = 0.0f;
            if (isColour && h > 0.0f)
            {
                uint32_t s = noiseSeed[c];
                s ^= s << 13;
                s ^= s >> 17;
                s ^= s << 5;
                noiseSeed[c] = s;
                const float w = (float) (int32_t) s * 4.656612873e-10f;
                noiseLp[c] = noiseLp[c] + noiseCoef * (w - noiseLp[c]);
                nc = noiseLp[c] * h;
            }
            const float v = isColour ? (y[c] + nc) * gApplied : y[c] * gApplied;

            // Offset tanh: 0 maps to 0 with unit slope; the bias makes it asymmetric.
            float s = (std::tanh(k * (v + beta)) - b) / ((1.0f - b * b) * k);
            if (isAll)
            {
                const float t = 6.0f * s;
                s = t / (std::sqrt(t * t + 1.0f) * 6.0f);
            }
            dcState[c] = flush(dcCoef * dcState[c] + (s - satPrev[c]));
            satPrev[c] = s;
            float o = dcState[c] * outGain;
            if (isColour)
            {
                lowGritOut[c] = flush(lowGritOut[c] + lp120Coef * (o - lowGritOut[c]));
                const float M = lowGritOut[c];
                o = o + (M / std::sqrt(0.25f * (M * M) + 1.0f) - M);
            }
            channels[c][i] = x[c] + wet * (o - x[c]);
        }
    }

    recoverFromNonFinite(*this);
}

} // namespace vt
