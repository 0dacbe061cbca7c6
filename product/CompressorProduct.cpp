// The compressor's audio side: parameter values to engine settings, the
// sub-block loop and the published gain-reduction peak.

#include "product/CompressorProduct.h"
#include "product/ParameterIds.h"

#include <algorithm>
#include <cmath>

namespace client
{
namespace
{
    constexpr float kMinus24DbGain = 0.063095741f;

    // Per ratio choice: dB of reduction per dB over the threshold, and knee width.
    constexpr float kSlope[5] = { 3.0f, 7.0f, 11.0f, 19.0f, 24.0f };
    constexpr float kKneeDb[5] = { 8.0f, 6.0f, 5.0f, 4.0f, 3.0f };
    constexpr int kAllIndex = 4;

    float gainFromDb (float dB, float maxDb) noexcept
    {
        if (dB < -24.0f)
            return kMinus24DbGain;
        return std::exp (std::min (maxDb, dB) * 0.115129255f);
    }

    int ratioIndexFrom (float value) noexcept
    {
        const float rounded = std::nearbyint (value); // ties to even
        return static_cast<int> (std::clamp (rounded, 0.0f, 4.0f));
    }

    // A parameter value as the product reads it: missing entries read 0, and so
    // does a NaN or infinity that a host may have sent, which would otherwise
    // pass every limit below unchanged.
    float readValue (const zep::ParamView& view, int index) noexcept
    {
        const float value = view.get (index);
        return std::isfinite (value) ? value : 0.0f;
    }

    // 800 us at position 1, 20 us at 7; below 1 (or missing) reads as 1.
    float attackSeconds (float position) noexcept
    {
        if (position < 1.0f)
            return 0.0008f;
        return 0.0008f * std::exp (((std::min (7.0f, position) - 1.0f) / 6.0f) * -3.68887949f);
    }

    // 1.1 s at position 1, 50 ms at 7.
    float releaseSeconds (float position) noexcept
    {
        if (position < 1.0f)
            return 1.1f;
        return 1.1f * std::exp (((std::min (7.0f, position) - 1.0f) / 6.0f) * -3.09104252f);
    }
} // namespace

void Product::prepare (double sampleRate, int, int numChannels)
{
    // A rate that is not a positive number falls back to 44.1 kHz; absurd rates are
    // limited so that every sample count derived from them fits its integer.
    const double fs = sampleRate > 0.0 && std::isfinite (sampleRate) ? std::min (sampleRate, 10.0e6) : 44100.0;
    engine.sampleRate = fs;
    engine.numChannels = numChannels >= 2 ? 2 : 1;
    vt::computeCoefficients (engine, fs);
    reset();
}

void Product::reset()
{
    vt::resetState (engine);
    grPeakDb.store (0.0f);
}

void Product::applySettings (const zep::ParamView& view) noexcept
{
    const float inputDb = readValue (view, kInput);
    const float outputDb = readValue (view, kOutput);
    const float attack = readValue (view, kAttack);
    const float release = readValue (view, kRelease);
    const float ratio = readValue (view, kRatio);
    const float mix = readValue (view, kMix);
    const float clean = readValue (view, kClean); // a missing entry reads 0: the colour voicing

    engine.inGainTarget = gainFromDb (inputDb, 36.0f);
    engine.outGainTarget = gainFromDb (outputDb, 24.0f);
    engine.wetTarget = mix < 0.0f ? 0.0f : std::min (1.0f, mix);

    engine.ratioIndex = ratioIndexFrom (ratio);
    const bool all = engine.ratioIndex == kAllIndex;
    const bool colour = ! (clean > 0.5f);
    engine.colour = colour ? 1 : 0;

    const double fs = engine.sampleRate;
    const double attackMultiplier = all ? 20.0 : 1.0;
    const float releaseMultiplier = all ? 0.3f : 1.0f;
    const double secondStageMultiplier = all ? 1.6 : 1.0;

    const float attackTime = attackSeconds (attack);
    engine.attackCoef = static_cast<float> (std::exp (-1.0 / (attackMultiplier * static_cast<double> (attackTime) * fs)));
    engine.releaseSeconds = releaseSeconds (release) * releaseMultiplier;
    engine.grSmoothCoef = static_cast<float> (std::exp (-1.0 / (static_cast<double> (attackTime) * 8.0 * secondStageMultiplier * fs)));

    engine.slope = kSlope[engine.ratioIndex];
    engine.kneeDb = kKneeDb[engine.ratioIndex];
    engine.thresholdDb = all ? -23.0f : -20.0f;
    const float driveBase = all ? 3.0f : 1.0f;
    const float driveMultiplier = colour ? 1.5f : 1.0f;
    engine.drive = driveBase * driveMultiplier;

    if (engine.snapSmoothing)
    {
        engine.inGain = engine.inGainTarget;
        engine.outGain = engine.outGainTarget;
        engine.wet = engine.wetTarget;
        engine.snapSmoothing = false;
    }
}

void Product::process (juce::AudioBuffer<float>& buffer, const zep::ParamView& view)
{
    applySettings (view);

    const int channels = buffer.getNumChannels();
    const int processed = std::min (channels, 2);
    const int numSamples = buffer.getNumSamples();
    float* const* data = channels > 0 ? buffer.getArrayOfWritePointers() : nullptr;
    float peak = 0.0f;

    for (int offset = 0; offset < numSamples; offset += kSubBlock)
    {
        float* pointers[2] = { nullptr, nullptr };
        if (channels > 0)
            pointers[0] = data[0] + offset;
        if (channels > 1)
            pointers[1] = data[1] + offset;

        engine.process (pointers, processed, std::min (kSubBlock, numSamples - offset));
        peak = std::max (peak, engine.grDb);
    }

    publishPeak (peak);
}

void Product::publishPeak (float peakDb) noexcept
{
    float published = grPeakDb.load();
    while (peakDb > published && ! grPeakDb.compare_exchange_weak (published, peakDb))
    {
    }
}

std::unique_ptr<zep::Panel> Product::createPanel (zep::Context&)
{
    return nullptr;
}

} // namespace client
