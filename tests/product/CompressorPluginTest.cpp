// The compressor inside the shell, as a host sees it: parameters, presets as
// programs, the saved state, and audio through the whole processor.

#include "product/CompressorProduct.h"
#include "product/Presets.h"
#include "shell/Processor.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
float value (zep::Processor& processor, const juce::String& id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

juce::AudioBuffer<float> drumLikeSignal (int channels, int samples, double rate)
{
    juce::AudioBuffer<float> buffer (channels, samples);
    juce::Random random (7);
    for (int s = 0; s < samples; ++s)
    {
        const double t = s / rate;
        const double beat = std::fmod (t, 0.25);
        const float kick = static_cast<float> (0.9 * std::exp (-beat * 30.0) * std::sin (2.0 * juce::MathConstants<double>::pi * 55.0 * t));
        const float noise = 0.05f * (random.nextFloat() * 2.0f - 1.0f);
        for (int c = 0; c < channels; ++c)
            buffer.setSample (c, s, kick + noise * (c == 0 ? 1.0f : -1.0f));
    }
    return buffer;
}
} // namespace

TEST (CompressorPlugin, DeclaresSevenParametersThenTheShells)
{
    zep::Processor processor;
    EXPECT_EQ (processor.getName(), "Vantrel");

    const char* ids[] = { "fetInput", "fetOutput", "attack", "release", "ratio", "mix", "clean", "inputTrimDb", "outputTrimDb", "bypass" };
    const char* labels[] = { "dB", "dB", "", "", "", "%", "", "dB", "dB", "" };
    const auto& hostParameters = processor.getParameters();
    ASSERT_EQ (hostParameters.size(), 10);

    for (int i = 0; i < 10; ++i)
    {
        auto& p = dynamic_cast<juce::RangedAudioParameter&> (*hostParameters[i]);
        EXPECT_EQ (p.getParameterID(), ids[i]);
        EXPECT_EQ (p.getLabel(), labels[i]) << ids[i];
    }

    const auto& view = processor.parameterView();
    ASSERT_EQ (view.values.size(), 7u);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ (view.values[static_cast<size_t> (i)], processor.parameters.getRawParameterValue (ids[i]));

    auto* ratio = dynamic_cast<juce::AudioParameterChoice*> (processor.parameters.getParameter ("ratio"));
    ASSERT_NE (ratio, nullptr);
    EXPECT_EQ (ratio->choices, juce::StringArray ({ "4", "8", "12", "20", "ALL" }));
    EXPECT_EQ (ratio->getIndex(), 0);

    EXPECT_EQ (processor.specs[0].tooltip, "How hard you drive it. More input, more compression.");
    EXPECT_EQ (processor.specs[6].tooltip, "The same compressor without the Vantrel colour: no low-end grit, no hiss.");
    for (const auto& spec : processor.specs)
        EXPECT_EQ (spec.skewCentre, 1.0f) << spec.id;
}

TEST (CompressorPlugin, FactoryPresetsAreTheThirteenPrograms)
{
    zep::Processor processor;
    ASSERT_EQ (processor.getNumPrograms(), 13);
    EXPECT_EQ (processor.getProgramName (0), "Default");
    EXPECT_EQ (processor.getProgramName (1), "Drums / Glue");
    EXPECT_EQ (processor.getProgramName (12), "Vocal / Clean Leveler");
    EXPECT_EQ (processor.getProgramName (13), "");

    // Preset 0 equals the defaults; every preset value lies inside its parameter's range.
    for (const auto& [id, v] : processor.presets[0].values)
    {
        auto* p = processor.parameters.getParameter (id);
        EXPECT_FLOAT_EQ (p->convertFrom0to1 (p->getDefaultValue()), v) << id;
    }

    for (const auto& preset : processor.presets)
    {
        ASSERT_EQ (preset.values.size(), 7u);
        for (const auto& [id, v] : preset.values)
        {
            const auto range = processor.parameters.getParameter (id)->getNormalisableRange();
            EXPECT_GE (v, range.start) << preset.name << " " << id;
            EXPECT_LE (v, range.end) << preset.name << " " << id;
        }
        const float clean = preset.values[6].second;
        EXPECT_EQ (clean, preset.name == "Clean Leveler" ? 1.0f : 0.0f);
    }
}

TEST (CompressorPlugin, SelectingSmashParallelSetsTheProductParametersOnly)
{
    zep::Processor processor;
    auto* trim = processor.parameters.getParameter ("inputTrimDb");
    trim->setValueNotifyingHost (trim->convertTo0to1 (-3.0f));

    processor.setCurrentProgram (4);
    EXPECT_EQ (processor.getCurrentProgram(), 4);
    EXPECT_FLOAT_EQ (value (processor, "fetInput"), 16.5f);
    EXPECT_FLOAT_EQ (value (processor, "fetOutput"), 7.5f);
    EXPECT_FLOAT_EQ (value (processor, "attack"), 5.0f);
    EXPECT_FLOAT_EQ (value (processor, "release"), 7.0f);
    EXPECT_FLOAT_EQ (value (processor, "ratio"), 4.0f);
    EXPECT_NEAR (value (processor, "mix"), 0.4f, 1.0e-6f);
    EXPECT_FLOAT_EQ (value (processor, "clean"), 0.0f);
    EXPECT_FLOAT_EQ (value (processor, "inputTrimDb"), -3.0f);

    processor.setCurrentProgram (13);
    EXPECT_EQ (processor.getCurrentProgram(), 4);
}

TEST (CompressorPlugin, FreshStateTextAndRoundTrip)
{
    zep::Processor processor;
    juce::MemoryBlock blob;
    processor.getStateInformation (blob);
    const auto text = juce::String::fromUTF8 (static_cast<const char*> (blob.getData()) + 8, static_cast<int> (blob.getSize()) - 9);
    EXPECT_TRUE (text.startsWith (R"(<?xml version="1.0" encoding="UTF-8"?> <ZEPSTATE schema="1" engine="" version="0.9.1" width="750" height="440" program="0"><PARAMETERS><PARAM id="attack" value=")"))
        << text;
    EXPECT_EQ (text.indexOf ("<PARAM "), text.indexOf ("<PARAMETERS>") + 12);

    processor.setCurrentProgram (12);
    processor.getStateInformation (blob);
    zep::Processor restored;
    restored.setStateInformation (blob.getData(), static_cast<int> (blob.getSize()));
    EXPECT_EQ (restored.getCurrentProgram(), 12);
    EXPECT_FLOAT_EQ (value (restored, "clean"), 1.0f);

    juce::MemoryBlock again;
    restored.getStateInformation (again);
    EXPECT_EQ (again, blob);
}

TEST (CompressorPlugin, RendersDeterministicallyAtEverySampleRate)
{
    for (double rate : { 44100.0, 48000.0, 96000.0, 192000.0 })
    {
        auto render = [rate]
        {
            zep::Processor processor;
            processor.setCurrentProgram (3);
            processor.prepareToPlay (rate, 480);
            auto audio = drumLikeSignal (2, static_cast<int> (rate / 2), rate);
            juce::MidiBuffer midi;
            for (int offset = 0; offset < audio.getNumSamples(); offset += 480)
            {
                juce::AudioBuffer<float> block (audio.getArrayOfWritePointers(), 2, offset, std::min (480, audio.getNumSamples() - offset));
                processor.processBlock (block, midi);
            }
            return audio;
        };

        const auto first = render();
        const auto second = render();
        for (int c = 0; c < 2; ++c)
        {
            ASSERT_EQ (std::memcmp (first.getReadPointer (c), second.getReadPointer (c), sizeof (float) * static_cast<size_t> (first.getNumSamples())), 0) << rate;
            for (int s = 0; s < first.getNumSamples(); ++s)
                ASSERT_TRUE (std::isfinite (first.getSample (c, s))) << rate;
        }
        EXPECT_GT (first.getMagnitude (0, first.getNumSamples()), 0.1f) << rate;
    }
}

TEST (CompressorPlugin, SilenceInGivesSilenceOutInBothVoicings)
{
    for (float clean : { 0.0f, 1.0f })
    {
        zep::Processor processor;
        auto* p = processor.parameters.getParameter ("clean");
        p->setValueNotifyingHost (clean);
        processor.prepareToPlay (48000.0, 256);

        juce::AudioBuffer<float> silence (2, 256);
        juce::MidiBuffer midi;
        for (int block = 0; block < 40; ++block)
        {
            silence.clear();
            processor.processBlock (silence, midi);
            ASSERT_EQ (silence.getMagnitude (0, 256), 0.0f) << "clean " << clean << " block " << block;
        }
    }
}

TEST (CompressorPlugin, CompressesAndPublishesTheReduction)
{
    zep::Processor processor;
    processor.setCurrentProgram (3); // "Drums / Vantrel": +12 dB into 8:1
    processor.prepareToPlay (48000.0, 512);
    auto& product = static_cast<client::Product&> (*processor.product);

    auto audio = drumLikeSignal (2, 24000, 48000.0);
    juce::MidiBuffer midi;
    float largest = 0.0f;
    for (int offset = 0; offset < 24000; offset += 512)
    {
        juce::AudioBuffer<float> block (audio.getArrayOfWritePointers(), 2, offset, std::min (512, 24000 - offset));
        processor.processBlock (block, midi);
        largest = std::max (largest, product.grPeakDb.exchange (0.0f));
    }

    EXPECT_GT (largest, 6.0f);
    EXPECT_LT (largest, 40.0f);
}

TEST (CompressorPlugin, NonFiniteSavedValuesRestoreAsDefaults)
{
    zep::Processor processor;
    const juce::String text = R"(<ZEPSTATE><PARAMETERS><PARAM id="ratio" value="nan"/><PARAM id="fetInput" value="inf"/>)"
                              R"(<PARAM id="inputTrimDb" value="-inf"/><PARAM id="mix" value="0.5"/></PARAMETERS></ZEPSTATE>)";
    juce::MemoryBlock blob;
    juce::AudioProcessor::copyXmlToBinary (*juce::parseXML (text), blob);
    processor.setStateInformation (blob.getData(), static_cast<int> (blob.getSize()));

    EXPECT_EQ (value (processor, "ratio"), 0.0f);
    EXPECT_EQ (value (processor, "fetInput"), 0.0f);
    EXPECT_EQ (value (processor, "inputTrimDb"), 0.0f);
    EXPECT_FLOAT_EQ (value (processor, "mix"), 0.5f);

    processor.prepareToPlay (48000.0, 64);
    auto audio = drumLikeSignal (2, 64, 48000.0);
    juce::MidiBuffer midi;
    processor.processBlock (audio, midi);
    for (int s = 0; s < 64; ++s)
        ASSERT_TRUE (std::isfinite (audio.getSample (0, s)));
}

TEST (CompressorPlugin, NonFiniteInputDoesNotPoisonLaterBlocks)
{
    zep::Processor processor;
    processor.prepareToPlay (48000.0, 64);
    juce::MidiBuffer midi;

    for (float poison : { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity() })
    {
        auto bad = drumLikeSignal (2, 64, 48000.0);
        bad.setSample (0, 10, poison);
        processor.processBlock (bad, midi);

        auto good = drumLikeSignal (2, 64, 48000.0);
        processor.processBlock (good, midi);
        for (int c = 0; c < 2; ++c)
            for (int s = 0; s < 64; ++s)
                ASSERT_TRUE (std::isfinite (good.getSample (c, s))) << poison << " " << c << ":" << s;
    }
}
