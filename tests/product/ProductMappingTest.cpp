// How the product turns parameter values into engine settings, its sub-block
// loop, and the published gain-reduction peak.

#include "product/CompressorProduct.h"
#include "product/ParameterIds.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace
{
// A parameter view over values the test owns.
struct TestView
{
    explicit TestView (std::vector<float> initial)
    {
        for (size_t i = 0; i < initial.size(); ++i)
        {
            values[i].store (initial[i]);
            view.values.push_back (&values[i]);
        }
    }

    void set (int index, float v) { values[static_cast<size_t> (index)].store (v); }

    std::array<std::atomic<float>, 8> values {};
    zep::ParamView view;
};

// The parameter defaults, in declaration order.
std::vector<float> defaults() { return { 0.0f, 5.0f, 3.0f, 5.0f, 0.0f, 1.0f, 0.0f }; }

std::unique_ptr<client::Product> preparedProduct (double rate = 48000.0, int channels = 2)
{
    auto product = std::make_unique<client::Product>();
    product->prepare (rate, 512, channels);
    return product;
}

float settingAfter (int index, float value, float vt::FetCompressor::*field)
{
    auto product = preparedProduct();
    TestView view (defaults());
    view.set (index, value);
    product->applySettings (view.view);
    return product->engine.*field;
}

juce::AudioBuffer<float> sine (int channels, int samples, float amplitude, double rate = 48000.0)
{
    juce::AudioBuffer<float> buffer (channels, samples);
    for (int c = 0; c < channels; ++c)
        for (int s = 0; s < samples; ++s)
            buffer.setSample (c, s, amplitude * static_cast<float> (std::sin (2.0 * juce::MathConstants<double>::pi * 220.0 * s / rate)));
    return buffer;
}
} // namespace

TEST (ProductMapping, GainsAreLimitedToTheirRanges)
{
    using E = vt::FetCompressor;
    struct Case { int index; float value; float E::*field; float expected; };
    const Case cases[] = {
        { client::kInput, -24.0f, &E::inGainTarget, 0.063095741f },
        { client::kInput, -30.0f, &E::inGainTarget, 0.063095741f },
        { client::kInput, 36.0f, &E::inGainTarget, 63.095745f },
        { client::kInput, 40.0f, &E::inGainTarget, 63.095745f },
        { client::kOutput, 24.0f, &E::outGainTarget, std::exp (24.0f * 0.115129255f) },
        { client::kOutput, 30.0f, &E::outGainTarget, std::exp (24.0f * 0.115129255f) },
        { client::kOutput, -99.0f, &E::outGainTarget, 0.063095741f },
        { client::kMix, -0.5f, &E::wetTarget, 0.0f },
        { client::kMix, 1.5f, &E::wetTarget, 1.0f },
        { client::kMix, 0.35f, &E::wetTarget, 0.35f },
    };

    for (const auto& c : cases)
        EXPECT_FLOAT_EQ (settingAfter (c.index, c.value, c.field), c.expected) << "index " << c.index << " value " << c.value;
}

TEST (ProductMapping, RatioRoundsToTheNearestChoiceAndSetsTheCurve)
{
    const std::pair<float, int> cases[] = { { 3.4f, 3 }, { 3.6f, 4 }, { 7.0f, 4 }, { -2.0f, 0 }, { 2.5f, 2 }, { 1.5f, 2 }, { 0.0f, 0 } };
    for (const auto& [value, index] : cases)
    {
        auto product = preparedProduct();
        TestView view (defaults());
        view.set (client::kRatio, value);
        product->applySettings (view.view);
        EXPECT_EQ (product->engine.ratioIndex, index) << value;
    }

    struct Curve { int index; float slope, knee, threshold, drive; };
    const Curve curves[] = { { 0, 3, 8, -20, 1.5f }, { 1, 7, 6, -20, 1.5f }, { 2, 11, 5, -20, 1.5f },
                             { 3, 19, 4, -20, 1.5f }, { 4, 24, 3, -23, 4.5f } };
    for (const auto& c : curves)
    {
        auto product = preparedProduct();
        TestView view (defaults());
        view.set (client::kRatio, static_cast<float> (c.index));
        product->applySettings (view.view);
        EXPECT_EQ (product->engine.slope, c.slope);
        EXPECT_EQ (product->engine.kneeDb, c.knee);
        EXPECT_EQ (product->engine.thresholdDb, c.threshold);
        EXPECT_EQ (product->engine.drive, c.drive);
    }
}

TEST (ProductMapping, CleanSwitchesAboveOneHalf)
{
    for (const auto& [value, colour] : { std::pair { 0.5f, 1 }, std::pair { 0.51f, 0 }, std::pair { 1.0f, 0 }, std::pair { 0.0f, 1 } })
    {
        auto product = preparedProduct();
        TestView view (defaults());
        view.set (client::kClean, value);
        product->applySettings (view.view);
        EXPECT_EQ (product->engine.colour, colour) << value;
        EXPECT_EQ (product->engine.drive, colour == 1 ? 1.5f : 1.0f) << value;
    }
}

TEST (ProductMapping, AttackAndReleaseFollowTheirTimeLaws)
{
    const double fs = 48000.0;
    auto attackCoef = [&] (double seconds, double multiplier = 1.0) { return static_cast<float> (std::exp (-1.0 / (multiplier * seconds * fs))); };

    auto product = preparedProduct (fs);
    TestView view (defaults());
    for (const auto& [position, seconds] : { std::pair { 0.0f, 0.0008f }, std::pair { 1.0f, 0.0008f }, std::pair { 9.0f, 20.0e-6f }, std::pair { 7.0f, 20.0e-6f } })
    {
        view.set (client::kAttack, position);
        product->applySettings (view.view);
        EXPECT_NEAR (product->engine.attackCoef, attackCoef (seconds), 2.0e-6f) << position;
        if (position <= 1.0f)
        {
            // Exactly as written: the float time widened to double, exp in double, rounded once.
            EXPECT_EQ (product->engine.attackCoef, static_cast<float> (std::exp (-1.0 / (1.0 * static_cast<double> (0.0008f) * fs))));
            EXPECT_EQ (product->engine.grSmoothCoef, static_cast<float> (std::exp (-1.0 / (static_cast<double> (0.0008f) * 8.0 * 1.0 * fs))));
        }
        EXPECT_NEAR (product->engine.grSmoothCoef, attackCoef (seconds, 8.0), 2.0e-6f) << position;
    }

    for (const auto& [position, seconds] : { std::pair { 0.0f, 1.1f }, std::pair { 1.0f, 1.1f }, std::pair { 9.0f, 0.05f }, std::pair { 4.0f, 0.2345f } })
    {
        view.set (client::kRelease, position);
        product->applySettings (view.view);
        EXPECT_NEAR (product->engine.releaseSeconds, seconds, seconds * 1.0e-3f) << position;
    }

    // "ALL" stretches the attack 20 times, the second stage 12.8 times, and shortens the release to 0.3.
    view.set (client::kAttack, 1.0f);
    view.set (client::kRelease, 1.0f);
    view.set (client::kRatio, 4.0f);
    product->applySettings (view.view);
    EXPECT_NEAR (product->engine.attackCoef, attackCoef (0.016), 1.0e-6f);
    EXPECT_NEAR (product->engine.grSmoothCoef, attackCoef (0.0008 * 12.8), 1.0e-6f);
    EXPECT_NEAR (product->engine.releaseSeconds, 0.33f, 1.0e-6f);
}

TEST (ProductMapping, NonFiniteValuesReadAsZero)
{
    // A host or a damaged project may deliver NaN or infinity; each reads like a
    // missing value instead of indexing the ratio tables or passing the limits.
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();

    for (float bad : { nan, inf, -inf })
    {
        auto product = preparedProduct();
        TestView view ({ bad, bad, bad, bad, bad, bad, bad });
        product->applySettings (view.view);

        EXPECT_EQ (product->engine.ratioIndex, 0) << bad;
        EXPECT_FLOAT_EQ (product->engine.inGainTarget, 1.0f) << bad;
        EXPECT_FLOAT_EQ (product->engine.outGainTarget, 1.0f) << bad;
        EXPECT_EQ (product->engine.wetTarget, 0.0f) << bad;
        EXPECT_EQ (product->engine.colour, 1) << bad;
        EXPECT_TRUE (std::isfinite (product->engine.attackCoef)) << bad;
        EXPECT_TRUE (std::isfinite (product->engine.releaseSeconds)) << bad;
    }
}

TEST (ProductMapping, MissingViewEntriesReadAsZeroAndColour)
{
    auto product = preparedProduct();
    TestView view ({ 0.0f, 0.0f }); // only the two gains
    product->applySettings (view.view);

    EXPECT_FLOAT_EQ (product->engine.inGainTarget, 1.0f);
    EXPECT_FLOAT_EQ (product->engine.outGainTarget, 1.0f);
    EXPECT_EQ (product->engine.attackCoef, static_cast<float> (std::exp (-1.0 / (0.0008f * 48000.0))));
    EXPECT_FLOAT_EQ (product->engine.releaseSeconds, 1.1f);
    EXPECT_EQ (product->engine.ratioIndex, 0);
    EXPECT_EQ (product->engine.wetTarget, 0.0f) << "a missing mix is dry only";
    EXPECT_EQ (product->engine.colour, 1) << "a missing clean entry selects the colour voicing";

    zep::ParamView empty;
    product->applySettings (empty);
    EXPECT_EQ (product->engine.colour, 1);
}

TEST (ProductMapping, FirstBlockAfterResetSnapsTheSmoothedGains)
{
    auto product = preparedProduct();
    TestView view (defaults());
    view.set (client::kInput, 12.0f);
    view.set (client::kMix, 0.4f);
    product->applySettings (view.view);
    EXPECT_EQ (product->engine.inGain, product->engine.inGainTarget);
    EXPECT_EQ (product->engine.wet, 0.4f);
    EXPECT_FALSE (product->engine.snapSmoothing);

    view.set (client::kInput, 0.0f);
    product->applySettings (view.view);
    EXPECT_NE (product->engine.inGain, product->engine.inGainTarget) << "later changes glide inside the engine";
}

TEST (ProductMapping, PrepareFallsBackTo44100AndLimitsChannels)
{
    auto product = std::make_unique<client::Product>();
    product->prepare (0.0, 512, 6);
    EXPECT_EQ (product->engine.sampleRate, 44100.0);
    EXPECT_EQ (product->engine.numChannels, 2);
    EXPECT_EQ (product->engine.holdSamples, 4410);

    product->prepare (48000.0, 64, 1);
    EXPECT_EQ (product->engine.numChannels, 1);
    EXPECT_EQ (product->engine.holdSamples, 4800);
    EXPECT_EQ (product->latencySamples(), 0);

    for (double bad : { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), -1.0 })
    {
        product->prepare (bad, 64, 2);
        EXPECT_EQ (product->engine.sampleRate, 44100.0) << bad;
    }
    product->prepare (1.0e15, 64, 2);
    EXPECT_EQ (product->engine.sampleRate, 10.0e6) << "absurd rates are limited";
}

TEST (ProductProcessing, RunsTheEngineIn32SampleSubBlocksAndPublishesTheirPeak)
{
    // The product's output equals the engine run on 32, 32, 32 and 4 samples,
    // and the published peak is the largest reduction after any of those calls.
    auto product = preparedProduct();
    TestView view (defaults());
    view.set (client::kInput, 30.0f);
    view.set (client::kAttack, 7.0f);

    auto reference = preparedProduct();
    reference->applySettings (view.view);

    auto buffer = sine (2, 100, 0.5f);
    auto expected = buffer;
    product->process (buffer, view.view);

    float peak = 0.0f;
    for (int offset = 0; offset < 100; offset += 32)
    {
        float* pointers[2] = { expected.getWritePointer (0, offset), expected.getWritePointer (1, offset) };
        reference->engine.process (pointers, 2, std::min (32, 100 - offset));
        peak = std::max (peak, reference->engine.grDb);
    }

    for (int c = 0; c < 2; ++c)
        for (int s = 0; s < 100; ++s)
            ASSERT_EQ (buffer.getSample (c, s), expected.getSample (c, s)) << c << ":" << s;

    EXPECT_GT (peak, 0.0f);
    EXPECT_EQ (product->grPeakDb.load(), peak);
}

TEST (ProductProcessing, PublishedPeakOnlyRisesUntilTaken)
{
    auto product = std::make_unique<client::Product>();
    product->grPeakDb.store (12.0f);
    product->publishPeak (8.0f);
    EXPECT_EQ (product->grPeakDb.load(), 12.0f);
    product->publishPeak (15.0f);
    EXPECT_EQ (product->grPeakDb.load(), 15.0f);

    EXPECT_EQ (product->grPeakDb.exchange (0.0f), 15.0f);
    product->publishPeak (3.0f);
    EXPECT_EQ (product->grPeakDb.load(), 3.0f);

    product->reset();
    EXPECT_EQ (product->grPeakDb.load(), 0.0f) << "after reset the next reader gets 0";
}

TEST (ProductProcessing, ProcessesAtMostTheFirstTwoChannels)
{
    TestView view (defaults());
    view.set (client::kInput, 20.0f);

    // Mono: only channel 0 moves (no second pointer is formed).
    auto mono = preparedProduct (48000.0, 1);
    auto monoBuffer = sine (1, 256, 0.3f);
    const auto monoInput = monoBuffer;
    mono->process (monoBuffer, view.view);
    EXPECT_NE (monoBuffer.getSample (0, 200), monoInput.getSample (0, 200));

    // Four channels: 0 and 1 processed, 2 and 3 untouched.
    auto quad = preparedProduct (48000.0, 4);
    auto quadBuffer = sine (4, 256, 0.3f);
    const auto quadInput = quadBuffer;
    quad->process (quadBuffer, view.view);
    EXPECT_NE (quadBuffer.getSample (1, 200), quadInput.getSample (1, 200));
    for (int c = 2; c < 4; ++c)
        for (int s = 0; s < 256; ++s)
            ASSERT_EQ (quadBuffer.getSample (c, s), quadInput.getSample (c, s));
}

TEST (ProductProcessing, ABufferWithoutChannelsStillMovesTheEnvelopes)
{
    auto product = preparedProduct();
    TestView view (defaults());
    view.set (client::kInput, 30.0f);
    auto loud = sine (2, 4800, 0.8f);
    product->process (loud, view.view);
    const float reduced = product->engine.envDb;
    ASSERT_GT (reduced, 10.0f);

    juce::AudioBuffer<float> noChannels (0, 4800);
    product->process (noChannels, view.view);
    EXPECT_LT (product->engine.envDb, reduced);
}
