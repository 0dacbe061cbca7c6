#pragma once

#include "shell/DryPath.h"
#include "shell/Product.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <memory>
#include <vector>

namespace zep
{

/** The host-facing audio processor. It owns the product and puts the shell's
    frame around it: the parameter tree with the shell's input trim, output trim
    and bypass, the latency-aligned dry path and crossfade, the saved state and
    the host programs. Products plug in through zep::productInfo and
    zep::createProduct. */
class Processor : public juce::AudioProcessor
{
public:
    Processor();
    ~Processor() override;

    // Audio lifecycle -------------------------------------------------------
    bool isBusesLayoutSupported (const BusesLayout& layout) const override;
    void prepareToPlay (double sampleRate, int expectedBlockSize) override;
    void releaseResources() override;
    void reset() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;

    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    bool isMidiEffect() const override { return false; }
    juce::AudioProcessorParameter* getBypassParameter() const override;

    // Identity and editor ---------------------------------------------------
    const juce::String getName() const override { return info.name; }
    bool hasEditor() const override { return true; }
    juce::AudioProcessorEditor* createEditor() override;

    // Programs and state ----------------------------------------------------
    int getNumPrograms() override;
    int getCurrentProgram() override { return currentProgram.load(); }
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int, const juce::String&) override {}
    void getStateInformation (juce::MemoryBlock& destination) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    // Read by the editor, the preset picker and the panel --------------------
    juce::Value editorWidth;
    juce::Value editorHeight;
    const ProductInfo info;
    const std::unique_ptr<Product> product;
    std::vector<ParamSpec> specs;
    std::vector<Preset> presets;
    std::atomic<int> currentProgram { 0 };
    juce::AudioProcessorValueTreeState parameters;

    /** The live values handed to the product's process, in declaration order. */
    const ParamView& parameterView() const noexcept { return view; }

private:
    juce::AudioProcessorValueTreeState::ParameterLayout buildLayout();
    ParamView buildView() const;
    void snapSmoothers() noexcept;
    void restoreParameters (const juce::ValueTree& savedParameters);

    ParamView view;
    std::atomic<float>* const inputTrimRaw;
    std::atomic<float>* const outputTrimRaw;
    std::atomic<float>* const bypassRaw;
    juce::SmoothedValue<float> inputGain { 1.0f };
    juce::SmoothedValue<float> outputGain { 1.0f };
    juce::SmoothedValue<float> bypassMix { 0.0f };
    DryPath dryPath;
    juce::AudioBuffer<float> dryBuffer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Processor)
};

} // namespace zep
