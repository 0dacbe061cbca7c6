// The frame around the product: layouts, trims, the latency-aligned dry path and
// the bypass crossfade, sample by sample.

#include "TestProduct.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace testing_products;

namespace
{
constexpr double kRate = 44100.0;

juce::AudioBuffer<float> constantBuffer (int channels, int samples, float value)
{
    juce::AudioBuffer<float> buffer (channels, samples);
    for (int c = 0; c < channels; ++c)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (c), value, samples);
    return buffer;
}

juce::AudioBuffer<float> rampBuffer (int channels, int samples, int start)
{
    juce::AudioBuffer<float> buffer (channels, samples);
    for (int c = 0; c < channels; ++c)
        for (int s = 0; s < samples; ++s)
            buffer.setSample (c, s, static_cast<float> (start + s + 1 + 1000 * c));
    return buffer;
}

void run (zep::Processor& processor, juce::AudioBuffer<float>& buffer)
{
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
}

TestProductConfig silentProduct (int latency = 0)
{
    auto config = passThroughProduct();
    config.latency = latency;
    config.processFn = [] (juce::AudioBuffer<float>& buffer, const zep::ParamView&) { buffer.clear(); };
    return config;
}
} // namespace

TEST (AudioFrame, AcceptsOnlyMatchingMonoOrStereoLayouts)
{
    auto processor = makeProcessor (passThroughProduct());
    using Set = juce::AudioChannelSet;

    struct Case { Set in, out; bool accepted; };
    const Case cases[] = {
        { Set::mono(), Set::mono(), true },         { Set::stereo(), Set::stereo(), true },
        { Set::mono(), Set::stereo(), false },      { Set::stereo(), Set::mono(), false },
        { Set::disabled(), Set::stereo(), false },  { Set::disabled(), Set::disabled(), false },
        { Set::create5point1(), Set::create5point1(), false },
    };

    for (const auto& c : cases)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (c.in);
        layout.outputBuses.add (c.out);
        EXPECT_EQ (processor->checkBusesLayoutSupported (layout), c.accepted)
            << c.in.getDescription() << " -> " << c.out.getDescription();
    }
}

TEST (AudioFrame, PrepareHandsTheProductTheHostsFigures)
{
    Recorder recorder;
    auto processor = makeProcessor (passThroughProduct(), &recorder);
    processor->prepareToPlay (48000.0, 333);

    EXPECT_EQ (recorder.prepareCalls, 1);
    EXPECT_EQ (recorder.preparedRate, 48000.0);
    EXPECT_EQ (recorder.preparedBlockSize, 333);
    EXPECT_EQ (recorder.preparedChannels, 2);
    EXPECT_EQ (processor->getTailLengthSeconds(), 0.0);
    EXPECT_FALSE (processor->acceptsMidi());
    EXPECT_FALSE (processor->producesMidi());
}

TEST (AudioFrame, UnityTrimsAndPassThroughProductLeaveAudioBitExact)
{
    auto processor = makeProcessor (passThroughProduct());
    processor->prepareToPlay (kRate, 256);

    auto buffer = rampBuffer (2, 256, 0);
    buffer.applyGain (1.0e-3f);
    const juce::AudioBuffer<float> input (buffer);
    run (*processor, buffer);

    for (int c = 0; c < 2; ++c)
        for (int s = 0; s < 256; ++s)
            ASSERT_EQ (buffer.getSample (c, s), input.getSample (c, s));
}

TEST (AudioFrame, BypassCrossfadeTakes30MillisecondsEachWay)
{
    auto processor = makeProcessor (silentProduct());
    processor->prepareToPlay (kRate, 2048);
    const int ramp = static_cast<int> (std::floor (0.03 * kRate));
    ASSERT_EQ (ramp, 1323);

    setParam (*processor, "bypass", 1.0f);
    auto on = constantBuffer (1, 2048, 1.0f);
    run (*processor, on);

    for (int s = 0; s < ramp - 1; ++s)
        ASSERT_NEAR (on.getSample (0, s), static_cast<float> (s + 1) / ramp, 5.0e-5f) << s;
    EXPECT_LT (on.getSample (0, ramp - 2), 1.0f);
    for (int s = ramp - 1; s < 2048; ++s)
        ASSERT_EQ (on.getSample (0, s), 1.0f) << s;

    setParam (*processor, "bypass", 0.0f);
    auto off = constantBuffer (1, 2048, 1.0f);
    run (*processor, off);

    for (int s = 0; s < ramp - 1; ++s)
        ASSERT_NEAR (off.getSample (0, s), 1.0f - static_cast<float> (s + 1) / ramp, 5.0e-5f) << s;
    for (int s = ramp - 1; s < 2048; ++s)
        ASSERT_EQ (off.getSample (0, s), 0.0f) << s;
}

TEST (AudioFrame, InputTrimGlidesOver20MillisecondsFromTheNextBlock)
{
    auto processor = makeProcessor (passThroughProduct());
    processor->prepareToPlay (kRate, 1024);
    const int ramp = static_cast<int> (std::floor (0.02 * kRate));
    ASSERT_EQ (ramp, 882);

    auto first = constantBuffer (2, 1024, 1.0f);
    run (*processor, first);
    EXPECT_EQ (first.getSample (1, 1023), 1.0f);

    setParam (*processor, "inputTrimDb", 6.0f);
    const float target = std::pow (10.0f, 0.3f);
    auto second = constantBuffer (2, 1024, 1.0f);
    run (*processor, second);

    for (int s = 0; s < ramp - 1; ++s)
    {
        const float expected = 1.0f + (target - 1.0f) * static_cast<float> (s + 1) / ramp;
        ASSERT_NEAR (second.getSample (0, s), expected, 5.0e-5f) << s;
        ASSERT_EQ (second.getSample (1, s), second.getSample (0, s)) << "one step per sample, shared by all channels";
    }
    for (int s = ramp - 1; s < 1024; ++s)
        ASSERT_EQ (second.getSample (0, s), target) << s;
}

TEST (AudioFrame, BypassKeepsTheInputTrimAndDropsOutputTrimAndProduct)
{
    auto config = passThroughProduct();
    config.processFn = [] (juce::AudioBuffer<float>& buffer, const zep::ParamView&) { buffer.applyGain (0.5f); };
    auto processor = makeProcessor (config);
    setParam (*processor, "bypass", 1.0f);
    setParam (*processor, "inputTrimDb", 6.0f);
    setParam (*processor, "outputTrimDb", -12.0f);
    processor->prepareToPlay (kRate, 64);

    auto buffer = rampBuffer (2, 64, 1);
    const juce::AudioBuffer<float> input (buffer);
    run (*processor, buffer);

    const float gain = std::pow (10.0f, 0.3f);
    EXPECT_NEAR (gain, 1.9953f, 1.0e-4f);
    for (int c = 0; c < 2; ++c)
        for (int s = 0; s < 64; ++s)
            ASSERT_EQ (buffer.getSample (c, s), input.getSample (c, s) * gain);
}

TEST (AudioFrame, DryPathLagsByTheProductLatency)
{
    Recorder recorder;
    auto processor = makeProcessor (silentProduct (100), &recorder);
    setParam (*processor, "bypass", 1.0f);
    processor->prepareToPlay (kRate, 512);
    EXPECT_EQ (processor->getLatencySamples(), 100) << "the host is told the product's latency";

    // Blocks of the announced size, then larger and smaller ones.
    int position = 0;
    for (int blockSize : { 512, 512, 2000, 7, 1 })
    {
        auto buffer = rampBuffer (2, blockSize, position);
        run (*processor, buffer);

        for (int c = 0; c < 2; ++c)
            for (int s = 0; s < blockSize; ++s)
            {
                const int source = position + s - 100;
                const float expected = source < 0 ? 0.0f : static_cast<float> (source + 1 + 1000 * c);
                ASSERT_EQ (buffer.getSample (c, s), expected) << "block " << blockSize << " sample " << s;
            }

        position += blockSize;
    }
}

TEST (AudioFrame, BlocksLargerThanAnnouncedKeepTheDryCopyExact)
{
    auto processor = makeProcessor (silentProduct());
    setParam (*processor, "bypass", 1.0f);
    setParam (*processor, "inputTrimDb", 6.0f);
    processor->prepareToPlay (kRate, 1);

    auto buffer = rampBuffer (2, 4, 0);
    const juce::AudioBuffer<float> input (buffer);
    run (*processor, buffer);

    const float gain = std::pow (10.0f, 0.3f);
    for (int c = 0; c < 2; ++c)
        for (int s = 0; s < 4; ++s)
            ASSERT_EQ (buffer.getSample (c, s), input.getSample (c, s) * gain);
}

TEST (AudioFrame, ZeroSampleBlockDoesNotCallTheProduct)
{
    Recorder recorder;
    auto processor = makeProcessor (passThroughProduct(), &recorder);
    processor->prepareToPlay (kRate, 64);

    juce::AudioBuffer<float> empty (2, 0);
    run (*processor, empty);
    EXPECT_EQ (recorder.processCalls, 0);

    auto buffer = constantBuffer (2, 8, 0.5f);
    run (*processor, buffer);
    EXPECT_EQ (recorder.processCalls, 1);
}

TEST (AudioFrame, ChannelsWithoutInputAreCleared)
{
    auto processor = makeProcessor (passThroughProduct());
    juce::AudioProcessor::BusesLayout mono;
    mono.inputBuses.add (juce::AudioChannelSet::mono());
    mono.outputBuses.add (juce::AudioChannelSet::mono());
    ASSERT_TRUE (processor->setBusesLayout (mono));
    processor->prepareToPlay (kRate, 16);

    auto buffer = constantBuffer (2, 16, 0.25f);
    run (*processor, buffer);
    EXPECT_EQ (buffer.getSample (0, 5), 0.25f);
    EXPECT_EQ (buffer.getMagnitude (1, 0, 16), 0.0f);
}

TEST (AudioFrame, BlockBeforePrepareLeavesTheDryPathAlone)
{
    // No delay lines exist before the first prepare: the dry copy is skipped, so
    // a bypassed block is silent rather than reading memory that is not there.
    Recorder recorder;
    auto processor = makeProcessor (silentProduct (100), &recorder);
    setParam (*processor, "bypass", 1.0f);

    auto buffer = constantBuffer (2, 512, 1.0f);
    run (*processor, buffer);
    EXPECT_EQ (buffer.getMagnitude (0, 512), 0.0f);

    auto unbypassed = makeProcessor (passThroughProduct());
    auto plain = constantBuffer (2, 64, 0.5f);
    run (*unbypassed, plain);
    EXPECT_EQ (plain.getSample (1, 63), 0.5f);
}

TEST (AudioFrame, ResetAndReleaseStartTheDryCopyFromSilence)
{
    for (bool release : { false, true })
    {
        Recorder recorder;
        auto processor = makeProcessor (silentProduct (100), &recorder);
        setParam (*processor, "bypass", 1.0f);
        processor->prepareToPlay (kRate, 256);

        auto loud = constantBuffer (2, 256, 1.0f);
        run (*processor, loud);

        if (release)
            processor->releaseResources();
        else
            processor->reset();
        EXPECT_EQ (recorder.resetCalls, 1);

        auto next = constantBuffer (2, 256, 1.0f);
        run (*processor, next);
        EXPECT_EQ (next.getMagnitude (0, 100), 0.0f) << (release ? "release" : "reset");
        EXPECT_EQ (next.getSample (0, 100), 1.0f);
    }
}
