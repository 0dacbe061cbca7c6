#pragma once

// A configurable product for the shell's tests. A test describes the product it
// wants (declarations, presets, latency, what process does) and constructs a
// zep::Processor around it through makeProcessor.

#include "shell/Processor.h"

#include <functional>
#include <memory>
#include <vector>

namespace testing_products
{

struct Recorder
{
    int prepareCalls = 0;
    int processCalls = 0;
    int resetCalls = 0;
    double preparedRate = 0.0;
    int preparedBlockSize = 0;
    int preparedChannels = 0;
    std::vector<float> lastViewValues;
};

struct TestProductConfig
{
    std::vector<zep::ParamSpec> specs;
    std::vector<zep::Preset> presets;
    int latency = 0;
    zep::ProductInfo info = {};
    /** What process does to the buffer; the default leaves it untouched. */
    std::function<void (juce::AudioBuffer<float>&, const zep::ParamView&)> processFn;
};

/** Creates a processor whose product follows the config; `recorder`, when given,
    records the calls the shell makes into the product. */
std::unique_ptr<zep::Processor> makeProcessor (TestProductConfig config, Recorder* recorder = nullptr);

// Declaration helpers.
zep::ParamSpec floatSpec (const juce::String& id, float min, float max, float def, const juce::String& unit = {});
zep::ParamSpec choiceSpec (const juce::String& id, juce::StringArray choices, int defaultIndex);
zep::ParamSpec boolSpec (const juce::String& id, bool defaultState);

/** A small product: "gain" (dB), "mix" (%), "mode" (choice) and "on" (bool). */
TestProductConfig passThroughProduct();

/** Sets a parameter in its own units, as a host would (notifying). */
void setParam (zep::Processor& processor, const juce::String& id, float value);

/** A parameter's live value in its own units. */
float value (zep::Processor& processor, const juce::String& id);

} // namespace testing_products
