#pragma once

// A plain, step-by-step transcription of the compressor's per-sample
// algorithm, kept deliberately unoptimised. The engine's tuned
// implementation must produce the same output and the same final state bit
// for bit; this file is what it is compared against.

#include "product/engine/FetCompressor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vt_ref
{

inline float flush(float v)
{
    return std::fabs(v) < 1e-20f ? 0.0f : v;
}

inline void process(vt::FetCompressor& e, float* const* channels, int numChannels, int numSamples)
{
    if (numSamples <= 0)
        return;

    // The record holds two channels of state; a prepared count above 2 is
    // treated as 2.
    const int n = std::min({e.numChannels, numChannels, 2});
    const double fs = e.sampleRate;
    const float invFs = (float) (1.0 / fs);
    const bool colour = (e.colour == 1);

    for (int i = 0; i < numSamples; ++i)
    {
        float x[2] = {0.0f, 0.0f};
        for (int c = 0; c < n && c < 2; ++c)
            x[c] = channels[c][i];

        // 1. smoothing
        e.inGain = e.inGainTarget + e.smoothCoef * (e.inGain - e.inGainTarget);
        e.outGain = e.outGainTarget + e.smoothCoef * (e.outGain - e.outGainTarget);
        e.wet = e.wetTarget + e.smoothCoef * (e.wet - e.wetTarget);

        // 2. silence counter
        float gateTarget = 0.0f;
        if (colour)
        {
            float p = 0.0f;
            for (int c = 0; c < n; ++c)
                p = std::max(p, std::fabs(x[c]));
            e.silentSamples = std::min(e.silentSamples, (int32_t) 0x3FFFFFFF) + 1;
            if (n >= 1 && p > 1e-6f)
                e.silentSamples = 0;
            gateTarget = (e.silentSamples < e.holdSamples) ? 1.0f : 0.0f;
        }

        // 3. feedback gain
        const float gFb = std::exp(e.envDb * -0.115129255f);

        // 4. hiss gate
        float h = 0.0f;
        if (colour)
        {
            e.gateEnv = gateTarget + e.gateCoef * (e.gateEnv - gateTarget);
            if (e.gateEnv < 1e-6f)
                e.gateEnv = 0.0f;
            h = e.gateEnv * e.noiseScale;
        }

        // 5. input grit and detector
        float y[2] = {0.0f, 0.0f};
        float dMax = 0.0f;
        for (int c = 0; c < n; ++c)
        {
            float dc;
            if (colour)
            {
                const float u = x[c] * e.inGain;
                e.lowGritIn[c] = flush(e.lowGritIn[c] + e.lp150Coef * (u - e.lowGritIn[c]));
                const float L = e.lowGritIn[c];
                y[c] = u + (L / std::sqrt(0.81f * (L * L) + 1.0f) - L);
                e.detectorLp[c] = e.detectorLp[c] + e.lp90Coef * (y[c] - e.detectorLp[c]);
                dc = std::fabs(gFb * (y[c] - e.detectorLp[c]));
            }
            else
            {
                dc = std::fabs(x[c] * e.inGain * gFb);
            }
            dMax = std::max(dMax, dc);
        }

        // 6. level
        const float d = std::max(1e-9f, dMax);
        const float levelDb = std::log(d) * 8.68588924f;

        // 7. gain computer
        const float over = levelDb - e.thresholdDb;
        const float half = e.kneeDb * 0.5f;
        float target;
        if (over <= -half)
            target = 0.0f;
        else if (over >= half)
            target = std::min(40.0f, e.slope * over);
        else
            target = std::min(40.0f, e.slope * ((over + half) * (over + half)) / (2.0f * e.kneeDb));

        // 8. envelope
        if (target > e.envDb)
        {
            e.envDb = target + e.attackCoef * (e.envDb - target);
            e.compressSeconds = std::min(2.0f, e.compressSeconds + invFs);
        }
        else
        {
            const float stretch = std::min(2.0f, e.compressSeconds) * 0.5f + 1.0f;
            const float product = stretch * e.releaseSeconds;
            const float r = (float) std::exp(-1.0 / ((double) product * fs));
            e.envDb = target + r * (e.envDb - target);
            e.compressSeconds = std::max(0.0f, e.compressSeconds - invFs);
        }
        if (e.envDb < 1e-6f)
            e.envDb = 0.0f;

        // 9. applied reduction
        e.grDb = e.envDb + e.grSmoothCoef * (e.grDb - e.envDb);
        e.grDb = std::max(e.grDb, e.envDb - 8.0f);
        const float gApplied = std::exp(e.grDb * -0.115129255f);

        // 10.
        if (n <= 0)
            continue;

        // 11. drive
        const float k = (std::min(30.0f, e.envDb) / 10.0f + 1.0f) * e.drive * 0.35f;

        // 12. saturator, output, mix
        for (int c = 0; c < n; ++c)
        {
            const float beta = (colour && c == 1) ? 0.14f : 0.12f;
            const float b = std::tanh(k * beta);
            float v;
            if (colour)
            {
                float nc = 0.0f;
                if (h > 0.0f)
                {
                    uint32_t s = e.noiseSeed[c];
                    s ^= s << 13;
                    s ^= s >> 17;
                    s ^= s << 5;
                    e.noiseSeed[c] = s;
                    const float w = (float) (int32_t) s * 4.656612873e-10f;
                    e.noiseLp[c] = e.noiseLp[c] + e.noiseCoef * (w - e.noiseLp[c]);
                    nc = e.noiseLp[c] * h;
                }
                v = (y[c] + nc) * gApplied;
            }
            else
            {
                v = x[c] * e.inGain * gApplied;
            }

            float s = (std::tanh(k * (v + beta)) - b) / ((1.0f - b * b) * k);
            if (e.ratioIndex == 4)
            {
                const float t = 6.0f * s;
                s = t / (std::sqrt(t * t + 1.0f) * 6.0f);
            }
            e.dcState[c] = flush(e.dcCoef * e.dcState[c] + (s - e.satPrev[c]));
            e.satPrev[c] = s;
            float o = e.dcState[c] * e.outGain;
            if (colour)
            {
                e.lowGritOut[c] = flush(e.lowGritOut[c] + e.lp120Coef * (o - e.lowGritOut[c]));
                const float M = e.lowGritOut[c];
                o = o + (M / std::sqrt(0.25f * (M * M) + 1.0f) - M);
            }
            channels[c][i] = x[c] + e.wet * (o - x[c]);
        }
    }
}

} // namespace vt_ref
