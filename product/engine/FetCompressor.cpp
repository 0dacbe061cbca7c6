#include "product/engine/FetCompressor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <immintrin.h>
#endif

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

// Correctly rounded square root (IEEE 754), as std::sqrt, but without the
// errno check the compiler otherwise wraps around every call: none of the
// engine's arguments can be negative, except NaN, which stays NaN either way.
inline float squareRoot(float v)
{
#if defined(__SSE2__)
    return _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(v)));
#else
    return std::sqrt(v);
#endif
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

namespace
{

constexpr int kChunk = 32; // samples per pass; longer calls are cut into chunks

inline uint32_t bitsOf(float v)
{
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// The state of one channel while a call runs; bias and norm are the
// saturator's bias term tanhf(k * beta) and its scale (1 - bias^2) * k.
struct Lane
{
    float lowGritIn, detectorLp, lowGritOut, satPrev, dcState, noiseLp, bias, norm;
    uint32_t noiseSeed;
};

// Cache keys are 64 bits wide so that the "empty" key can never equal the
// bit pattern of a float.
constexpr uint64_t kNoKey = ~uint64_t {0};

// The per-sample algorithm, specialised for the voicing, the "ALL" sigmoid
// and the channel count (0, 1 or 2) so that no per-sample decision depends
// on them.
//
// The only serial dependency that costs anything is the feedback loop: the
// detector needs the envelope of the previous sample (expf), its level
// (logf), the gain computer and the envelope. Everything else either does
// not depend on the envelope or feeds nothing back into it. So each chunk of
// up to 32 samples runs
//   pass 1: all that does not depend on the envelope (gain smoothers,
//           silence counter, hiss gate and generator, input grit, side-chain
//           high-pass), sample after sample into small arrays;
//   pass 2: the feedback loop (chainStep), with the work that follows from
//           the envelope skewed behind it by a few samples: applied gain and
//           bias terms (sideStep, one sample behind), the saturator's tanh
//           (saturatorStep, two behind) and the output stages (postStep,
//           three behind). The skew lets the CPU run the independent library
//           calls of earlier samples while the loop waits on its own.
// Every value is computed with exactly the operations, operands and order of
// the plain per-sample form, so the output is the same bit for bit. Library
// calls are skipped only where their result is known exactly: expf of zero
// is 1, and a function of an unchanged argument returns what it returned
// before (the release coefficient and the bias terms are cached by the bit
// pattern of their argument).
template <bool Colour, bool All, int N>
void processBlock(FetCompressor& e, float* const* channels, int numSamples)
{
    static_assert(N >= 0 && N <= 2, "one or two channels of state");

    float* x[2] = {nullptr, nullptr};
    for (int c = 0; c < N; ++c)
        x[c] = channels[c];

    // Settings and coefficients, as they stand at entry.
    const double fs = e.sampleRate;
    const float invFs = (float) (1.0 / fs);
    const float smoothCoef = e.smoothCoef, inT = e.inGainTarget, outT = e.outGainTarget, wetT = e.wetTarget;
    const float attackCoef = e.attackCoef, releaseSeconds = e.releaseSeconds;
    const float slope = e.slope, kneeDb = e.kneeDb, thresholdDb = e.thresholdDb, drive = e.drive;
    const float half = kneeDb * 0.5f, twoKnee = 2.0f * kneeDb, minusHalf = -half;
    const float grSmoothCoef = e.grSmoothCoef, dcCoef = e.dcCoef;
    const float lp150 = e.lp150Coef, lp120 = e.lp120Coef, lp90 = e.lp90Coef;
    const float noiseCoef = e.noiseCoef, noiseScale = e.noiseScale, gateCoef = e.gateCoef;
    const int32_t holdSamples = e.holdSamples;

    // State, kept in locals for the whole call.
    float inGain = e.inGain, outGain = e.outGain, wet = e.wet;
    float envDb = e.envDb, grDb = e.grDb, compressSeconds = e.compressSeconds;
    float gateEnv = e.gateEnv;
    int32_t silentSamples = e.silentSamples;
    // Per-channel state as one record per channel (rather than one
    // two-element array per quantity), which the compiler keeps in separate
    // registers instead of packing pairs of floats into integer registers.
    Lane lane[2];
    for (int c = 0; c < 2; ++c)
    {
        lane[c].lowGritIn = e.lowGritIn[c];
        lane[c].detectorLp = e.detectorLp[c];
        lane[c].lowGritOut = e.lowGritOut[c];
        lane[c].satPrev = e.satPrev[c];
        lane[c].dcState = e.dcState[c];
        lane[c].noiseLp = e.noiseLp[c];
        lane[c].noiseSeed = e.noiseSeed[c];
        lane[c].bias = 0.0f;
        lane[c].norm = 0.0f;
    }

    // Release coefficient for the last stretched release time.
    uint64_t releaseKey = kNoKey;
    float releaseCoef = 0.0f;
    // Saturator bias terms for the last drive k.
    uint64_t driveKey = kNoKey;
    constexpr float beta0 = 0.12f;
    constexpr float beta1 = Colour ? 0.14f : 0.12f;

    float outGains[kChunk], wets[kChunk];
    float shaped[2][kChunk];   // colour: input after grit plus hiss; clean: input times input gain
    float detected[2][kChunk]; // what the detector rectifies before the feedback gain
    float inputs[2][kChunk];   // the unprocessed samples
    float biases[2][kChunk], norms[2][kChunk], drives[kChunk];
    float applied[2][kChunk];  // saturator input v per channel
    float tanhs[2][kChunk];    // tanhf(k * (v + beta)) per channel
    float envs[kChunk], grs[kChunk];

    // One step of the serial feedback loop: detector level from the previous
    // envelope, gain computer, envelope, applied reduction. Everything the
    // loop does not need waits for sideStep.
    auto chainStep = [&](int i)
    {
        const float gFb = (envDb == 0.0f) ? 1.0f : std::exp(envDb * kDbToGain);
        float dMax = 0.0f;
        for (int c = 0; c < N; ++c)
            dMax = std::max(dMax, std::fabs(gFb * detected[c][i]));
        const float levelDb = std::log(std::max(1e-9f, dMax)) * kGainToDb;

        const float over = levelDb - thresholdDb;
        // All three branches of the curve are formed and one is selected:
        // the level jumps around the knee from sample to sample, so a
        // branch here is often mispredicted. (With a knee of 0 the unused
        // quotient is NaN or infinite and is never selected.)
        const float above = std::min(40.0f, slope * over);
        const float inKnee = std::min(40.0f, slope * ((over + half) * (over + half)) / twoKnee);
        const float upper = (over >= half) ? above : inKnee;
        const float target = (over <= minusHalf) ? 0.0f : upper;

        float coef;
        if (target > envDb)
        {
            coef = attackCoef;
            compressSeconds = std::min(2.0f, compressSeconds + invFs);
        }
        else
        {
            const float stretch = std::min(2.0f, compressSeconds) * 0.5f + 1.0f;
            const float product = stretch * releaseSeconds;
            if (bitsOf(product) != releaseKey)
            {
                releaseKey = bitsOf(product);
                releaseCoef = (float) std::exp(-1.0 / ((double) product * fs));
            }
            coef = releaseCoef;
            compressSeconds = std::max(0.0f, compressSeconds - invFs);
        }
        envDb = target + coef * (envDb - target);
        if (envDb < 1e-6f)
            envDb = 0.0f;

        grDb = envDb + grSmoothCoef * (grDb - envDb);
        grDb = std::max(grDb, envDb - 8.0f);
        envs[i] = envDb;
        grs[i] = grDb;
    };

    // Work of sample j that needs its envelope but feeds nothing back:
    // applied gain, drive and bias terms, saturator input.
    auto sideStep = [&](int j)
    {
        if constexpr (N >= 1)
        {
            const float gApplied = (grs[j] == 0.0f) ? 1.0f : std::exp(grs[j] * kDbToGain);
            const float k = (std::min(30.0f, envs[j]) / 10.0f + 1.0f) * drive * 0.35f;
            if (bitsOf(k) != driveKey)
            {
                driveKey = bitsOf(k);
                lane[0].bias = std::tanh(k * beta0);
                lane[0].norm = (1.0f - lane[0].bias * lane[0].bias) * k;
                if constexpr (N == 2 && Colour)
                {
                    lane[1].bias = std::tanh(k * beta1);
                    lane[1].norm = (1.0f - lane[1].bias * lane[1].bias) * k;
                }
                else
                {
                    lane[1].bias = lane[0].bias;
                    lane[1].norm = lane[0].norm;
                }
            }
            drives[j] = k;
            for (int c = 0; c < N; ++c)
            {
                biases[c][j] = lane[c].bias;
                norms[c][j] = lane[c].norm;
                applied[c][j] = shaped[c][j] * gApplied;
            }
        }
    };

    // The saturator's tanh of sample j; tanhf(k * (0 + beta)) is the bias
    // term itself.
    auto saturatorStep = [&](int j)
    {
        for (int c = 0; c < N; ++c)
        {
            const float v = applied[c][j];
            const float beta = (c == 0) ? beta0 : beta1;
            tanhs[c][j] = (v == 0.0f) ? biases[c][j] : std::tanh(drives[j] * (v + beta));
        }
    };

    // The rest of sample i: saturator, "ALL" sigmoid, DC blocker, make-up,
    // output grit and mix, written back in place.
    int chunkOffset = 0;
    auto postStep = [&](int i)
    {
        for (int c = 0; c < N; ++c)
        {
            float s = (tanhs[c][i] - biases[c][i]) / norms[c][i];
            if constexpr (All)
            {
                const float t = 6.0f * s;
                s = t / (squareRoot(t * t + 1.0f) * 6.0f);
            }
            lane[c].dcState = flush(dcCoef * lane[c].dcState + (s - lane[c].satPrev));
            lane[c].satPrev = s;
            float o = lane[c].dcState * outGains[i];
            if constexpr (Colour)
            {
                const float M = flush(lane[c].lowGritOut + lp120 * (o - lane[c].lowGritOut));
                lane[c].lowGritOut = M;
                o = o + (M / squareRoot(0.25f * (M * M) + 1.0f) - M);
            }
            const float in = inputs[c][i];
            x[c][chunkOffset + i] = in + wets[i] * (o - in);
        }
    };

    for (int offset = 0; offset < numSamples; offset += kChunk)
    {
        const int m = std::min(kChunk, numSamples - offset);

        // Pass 1: smoothers, hiss gate, input grit and side-chain filter.
        for (int i = 0; i < m; ++i)
        {
            inGain = inT + smoothCoef * (inGain - inT);
            outGain = outT + smoothCoef * (outGain - outT);
            wet = wetT + smoothCoef * (wet - wetT);
            outGains[i] = outGain;
            wets[i] = wet;
            float hiss = 0.0f;

            if constexpr (Colour)
            {
                float p = 0.0f;
                for (int c = 0; c < N; ++c)
                    p = std::max(p, std::fabs(x[c][offset + i]));
                silentSamples = std::min(silentSamples, (int32_t) 0x3FFFFFFF) + 1;
                if (N >= 1 && p > 1e-6f)
                    silentSamples = 0;
                const float gateTarget = (silentSamples < holdSamples) ? 1.0f : 0.0f;
                gateEnv = gateTarget + gateCoef * (gateEnv - gateTarget);
                if (gateEnv < 1e-6f)
                    gateEnv = 0.0f;
                hiss = gateEnv * noiseScale;
            }

            for (int c = 0; c < N; ++c)
            {
                inputs[c][i] = x[c][offset + i];
                const float u = inputs[c][i] * inGain;
                if constexpr (Colour)
                {
                    const float L = flush(lane[c].lowGritIn + lp150 * (u - lane[c].lowGritIn));
                    lane[c].lowGritIn = L;
                    const float y = u + (L / squareRoot(0.81f * (L * L) + 1.0f) - L);
                    lane[c].detectorLp = lane[c].detectorLp + lp90 * (y - lane[c].detectorLp);
                    detected[c][i] = y - lane[c].detectorLp;

                    // The hiss depends only on the gate, so it is added here.
                    float nc = 0.0f;
                    if (hiss > 0.0f)
                    {
                        uint32_t seed = lane[c].noiseSeed;
                        seed ^= seed << 13;
                        seed ^= seed >> 17;
                        seed ^= seed << 5;
                        lane[c].noiseSeed = seed;
                        const float w = (float) (int32_t) seed * 4.656612873e-10f;
                        lane[c].noiseLp = lane[c].noiseLp + noiseCoef * (w - lane[c].noiseLp);
                        nc = lane[c].noiseLp * hiss;
                    }
                    shaped[c][i] = y + nc;
                }
                else
                {
                    shaped[c][i] = u;
                    detected[c][i] = u;
                }
            }
        }

        // Pass 2: the feedback loop with the downstream work skewed behind
        // it, then the samples the skew left over.
        chunkOffset = offset;
        for (int i = 0; i < m; ++i)
        {
            chainStep(i);
            if (i >= 1)
                sideStep(i - 1);
            if (i >= 2)
                saturatorStep(i - 2);
            if (i >= 3)
                postStep(i - 3);
        }
        for (int j = std::max(0, m - 1); j < m; ++j)
            sideStep(j);
        for (int j = std::max(0, m - 2); j < m; ++j)
            saturatorStep(j);
        for (int j = std::max(0, m - 3); j < m; ++j)
            postStep(j);
    }

    e.inGain = inGain;
    e.outGain = outGain;
    e.wet = wet;
    e.envDb = envDb;
    e.grDb = grDb;
    e.compressSeconds = compressSeconds;
    if constexpr (Colour)
    {
        e.gateEnv = gateEnv;
        e.silentSamples = silentSamples;
    }
    for (int c = 0; c < N; ++c)
    {
        e.satPrev[c] = lane[c].satPrev;
        e.dcState[c] = lane[c].dcState;
        if constexpr (Colour)
        {
            e.lowGritIn[c] = lane[c].lowGritIn;
            e.detectorLp[c] = lane[c].detectorLp;
            e.lowGritOut[c] = lane[c].lowGritOut;
            e.noiseLp[c] = lane[c].noiseLp;
            e.noiseSeed[c] = lane[c].noiseSeed;
        }
    }
}

template <bool Colour, bool All>
void processVoicing(FetCompressor& e, float* const* channels, int n, int numSamples)
{
    if (n >= 2)
        processBlock<Colour, All, 2>(e, channels, numSamples);
    else if (n == 1)
        processBlock<Colour, All, 1>(e, channels, numSamples);
    else
        processBlock<Colour, All, 0>(e, channels, numSamples);
}

} // namespace

void FetCompressor::process(float* const* channels, int numChannelsPassed, int numSamples)
{
    if (numSamples <= 0)
        return;

    // Two channels of state exist; a prepared count above 2 acts as 2.
    const int n = std::min({numChannels, numChannelsPassed, 2});
    const bool isColour = (colour == 1);
    const bool isAll = (ratioIndex == 4);
    if (isColour)
        isAll ? processVoicing<true, true>(*this, channels, n, numSamples)
              : processVoicing<true, false>(*this, channels, n, numSamples);
    else
        isAll ? processVoicing<false, true>(*this, channels, n, numSamples)
              : processVoicing<false, false>(*this, channels, n, numSamples);

    recoverFromNonFinite(*this);
}

} // namespace vt
