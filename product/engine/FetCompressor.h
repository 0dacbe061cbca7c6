#pragma once

#include <cstdint>

namespace vt
{

// FET-style compressor: a plain record of settings, coefficients and state,
// plus one routine that processes one or two channels in place.
//
// The product writes the prepare-time coefficients (computeCoefficients), the
// per-block settings, applies the reset state (resetState) and reads grDb for
// its meter after each call. The engine never allocates, locks or fails, and
// its output is deterministic: the same settings, state and input always give
// the same bits.
struct FetCompressor
{
    double sampleRate = 44100.0;      // fs in Hz (prepare)
    int32_t numChannels = 2;          // prepared channel count, 1 or 2 (prepare)
    float smoothCoef = 0.0f;          // 20 ms smoothing of gains and wet share (prepare)
    float dcCoef = 0.0f;              // pole of the 5 Hz DC blocker (prepare)
    float attackCoef = 0.0f;          // envelope coefficient while reduction grows (block)
    float releaseSeconds = 0.2f;      // base release time in seconds (block)
    float inGainTarget = 1.0f;        // linear input gain (block)
    float outGainTarget = 1.0f;       // linear output gain (block)
    float wetTarget = 1.0f;           // wet share, 0 = dry only (block)
    float inGain = 1.0f;              // smoothed input gain (engine)
    float outGain = 1.0f;             // smoothed output gain (engine)
    float wet = 1.0f;                 // smoothed wet share (engine)
    int32_t ratioIndex = 0;           // ratio choice 0..4; 4 is "ALL" (block)
    float slope = 3.0f;               // dB of reduction per dB over the threshold (block)
    float kneeDb = 8.0f;              // soft-knee width in dB (block)
    float thresholdDb = -20.0f;       // threshold in dB (block)
    float drive = 1.0f;               // drive multiplier of the saturator (block)
    float grDb = 0.0f;                // applied gain reduction in dB; the meter's source (engine)
    float grSmoothCoef = 0.0f;        // coefficient of the applied-reduction smoother (block)
    float envDb = 0.0f;               // reduction envelope in dB (engine)
    float compressSeconds = 0.0f;     // accumulated attack time 0..2 s, stretches the release (engine)
    float satPrev[2] = {0.0f, 0.0f};  // previous saturator output per channel (engine)
    float dcState[2] = {0.0f, 0.0f};  // DC blocker output per channel (engine)
    bool snapSmoothing = true;        // asks the product to snap gains to targets; not read here
    int32_t colour = 0;               // 1 selects the colour voicing, anything else clean (block)
    float lp150Coef = 0.0f;           // input grit low-pass, 150 Hz (prepare)
    float lp120Coef = 0.0f;           // output grit low-pass, 120 Hz (prepare)
    float lp90Coef = 0.0f;            // side-chain low-pass, 90 Hz (prepare)
    float noiseCoef = 0.0f;           // hiss low-pass (prepare)
    float noiseScale = 0.0f;          // hiss scale for -90 dBFS RMS (prepare)
    float gateEnv = 0.0f;             // smoothed hiss gate 0..1 (engine)
    float gateCoef = 0.0f;            // 30 ms gate smoothing (prepare)
    int32_t silentSamples = 0;        // consecutive input samples at or below 1e-6 (engine)
    int32_t holdSamples = 0;          // 100 ms in samples (prepare)
    float lowGritIn[2] = {0.0f, 0.0f};   // 150 Hz input grit low-pass state (engine)
    float lowGritOut[2] = {0.0f, 0.0f};  // 120 Hz output grit low-pass state (engine)
    float detectorLp[2] = {0.0f, 0.0f};  // 90 Hz side-chain low-pass state (engine)
    float noiseLp[2] = {0.0f, 0.0f};     // hiss low-pass state (engine)
    uint32_t noiseSeed[2] = {0u, 0u};    // xorshift32 hiss generator per channel (engine)

    // Processes numSamples samples of the first min(this->numChannels,
    // numChannels) channels in place. channels[c] points at the first sample
    // of channel c; no pointer is read when that count is 0 or less. A sample
    // count of 0 or less changes nothing.
    void process(float* const* channels, int numChannels, int numSamples);
};

// Writes the nine prepare-time coefficient rows (smoothCoef, dcCoef,
// lp150Coef, lp120Coef, lp90Coef, noiseCoef, noiseScale, gateCoef,
// holdSamples) for the given sample rate. Touches no other field, not even
// engine.sampleRate, which the caller stores itself.
void computeCoefficients(FetCompressor& engine, double sampleRate);

// Applies the reset state: envelopes, filter states, DC blockers, hiss gate,
// silence counter and generator seeds, and sets snapSmoothing. Settings,
// coefficients and the smoothed gains are left as they are.
void resetState(FetCompressor& engine);

} // namespace vt
