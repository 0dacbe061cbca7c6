#include "shell/Processor.h"

#include "editor/Editor.h"
#include "shell/ParameterLayout.h"
#include "shell/StateBlob.h"

#include <cmath>

namespace zep
{
namespace
{
    const juce::Identifier kStateType { "ZEPSTATE" };
    const juce::Identifier kParamType { "PARAM" };

    float gainFromDecibels (float dB) noexcept
    {
        if (! std::isfinite (dB))
            return 1.0f; // a host's NaN or infinity reads as 0 dB, never as silence or overload
        return dB > -100.0f ? std::pow (10.0f, 0.05f * dB) : 0.0f;
    }

    // Ramp lengths for absurd sample rates stay within an int; a non-finite rate ramps not at all.
    int rampSteps (double seconds, double sampleRate) noexcept
    {
        const double steps = std::floor (seconds * sampleRate);
        return std::isfinite (steps) && steps > 0.0 ? static_cast<int> (std::min (steps, 1.0e9)) : 0;
    }

    float bypassTarget (float value) noexcept
    {
        return value > 0.5f ? 1.0f : 0.0f;
    }

    // Makes the host-visible parameters equal the parameter state's live values,
    // also where the state left a parameter unchanged.
    void setParametersExactly (juce::AudioProcessor& processor, juce::AudioProcessorValueTreeState& parameters)
    {
        for (auto* parameter : processor.getParameters())
        {
            auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter);
            if (ranged == nullptr)
                continue;

            auto* raw = parameters.getRawParameterValue (ranged->getParameterID());
            if (raw == nullptr)
                continue;

            const float target = ranged->convertTo0to1 (raw->load());

            if (std::abs (ranged->getValue() - target) > 1.0e-6f)
                ranged->setValueNotifyingHost (target);
        }
    }
} // namespace

Processor::Processor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      info (productInfo()),
      product (createProduct()),
      parameters (*this, nullptr, "PARAMETERS", buildLayout()),
      view (buildView()),
      inputTrimRaw (parameters.getRawParameterValue (ShellParamID::inputTrimDb)),
      outputTrimRaw (parameters.getRawParameterValue (ShellParamID::outputTrimDb)),
      bypassRaw (parameters.getRawParameterValue (ShellParamID::bypass))
{
    presets = product->factoryPresets();
    editorWidth = info.width;
    editorHeight = info.height;
}

Processor::~Processor() = default;

// Parameters ------------------------------------------------------------------

juce::AudioProcessorValueTreeState::ParameterLayout Processor::buildLayout()
{
    specs.clear();
    product->declareParameters (specs);
    return buildParameterLayout (specs);
}

ParamView Processor::buildView() const
{
    ParamView result;
    result.values.reserve (specs.size());

    for (size_t i = 0; i < specs.size(); ++i)
        result.values.push_back (ownsItsId (specs, i) ? parameters.getRawParameterValue (specs[i].id) : nullptr);

    return result;
}

juce::AudioProcessorParameter* Processor::getBypassParameter() const
{
    return parameters.getParameter (ShellParamID::bypass);
}

// Audio -----------------------------------------------------------------------

bool Processor::isBusesLayoutSupported (const BusesLayout& layout) const
{
    const auto output = layout.getMainOutputChannelSet();

    if (output != juce::AudioChannelSet::mono() && output != juce::AudioChannelSet::stereo())
        return false;

    return layout.getMainInputChannelSet() == output;
}

void Processor::prepareToPlay (double sampleRate, int expectedBlockSize)
{
    const int channels = std::max (1, getTotalNumOutputChannels());
    product->prepare (sampleRate, expectedBlockSize, channels);

    const int latency = product->latencySamples();
    if (latency != getLatencySamples())
        setLatencySamples (latency);

    dryPath.prepare (channels, latency, expectedBlockSize);

    dryBuffer.setSize (channels, std::max (1, expectedBlockSize), false, true, true);
    dryBuffer.clear();

    inputGain.reset (rampSteps (0.02, sampleRate));
    outputGain.reset (rampSteps (0.02, sampleRate));
    bypassMix.reset (rampSteps (0.03, sampleRate));
    snapSmoothers();
}

void Processor::releaseResources()
{
    product->reset();
    dryPath.clear();
}

void Processor::reset()
{
    product->reset();
    dryPath.clear();
    snapSmoothers();
}

void Processor::snapSmoothers() noexcept
{
    inputGain.setCurrentAndTargetValue (gainFromDecibels (inputTrimRaw->load()));
    outputGain.setCurrentAndTargetValue (gainFromDecibels (outputTrimRaw->load()));
    bypassMix.setCurrentAndTargetValue (bypassTarget (bypassRaw->load()));
}

namespace
{
    // Multiplies every channel by the smoother's next value, one step per sample.
    void applySmoothedGain (juce::AudioBuffer<float>& buffer, juce::SmoothedValue<float>& gain, int numSamples) noexcept
    {
        const int channels = buffer.getNumChannels();

        if (! gain.isSmoothing())
        {
            const float g = gain.getTargetValue();
            if (g != 1.0f)
                for (int c = 0; c < channels; ++c)
                    juce::FloatVectorOperations::multiply (buffer.getWritePointer (c), g, numSamples);
            return;
        }

        auto* const* data = buffer.getArrayOfWritePointers();

        for (int s = 0; s < numSamples; ++s)
        {
            const float g = gain.getNextValue();
            for (int c = 0; c < channels; ++c)
                data[c][s] *= g;
        }
    }

    // Crossfades from the processed signal to the dry copy by the smoother's share.
    void applyBypassCrossfade (juce::AudioBuffer<float>& buffer, const juce::AudioBuffer<float>& dry,
                               juce::SmoothedValue<float>& mix, int numSamples) noexcept
    {
        const int channels = buffer.getNumChannels();

        if (! mix.isSmoothing() && mix.getTargetValue() <= 0.0f)
            return; // settled on the processed signal

        auto* const* wet = buffer.getArrayOfWritePointers();
        const auto* const* dryData = dry.getArrayOfReadPointers();

        for (int s = 0; s < numSamples; ++s)
        {
            const float b = mix.getNextValue();

            if (channels <= 0 || b <= 0.0f)
                continue;

            if (b >= 1.0f)
            {
                for (int c = 0; c < channels; ++c)
                    wet[c][s] = dryData[c][s];
            }
            else
            {
                for (int c = 0; c < channels; ++c)
                    wet[c][s] = wet[c][s] * (1.0f - b) + dryData[c][s] * b;
            }
        }
    }
} // namespace

void Processor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const juce::ScopedNoDenormals noDenormals;

    const int channels = buffer.getNumChannels();
    const int numSamples = buffer.getNumSamples();

    for (int c = getTotalNumInputChannels(); c < channels; ++c)
        buffer.clear (c, 0, numSamples);

    if (numSamples == 0)
        return;

    if (dryBuffer.getNumSamples() < numSamples || dryBuffer.getNumChannels() < channels)
    {
        // The host sent more than it announced in prepareToPlay: the only allocation the frame makes.
        dryBuffer.setSize (std::max (channels, dryBuffer.getNumChannels()), std::max (numSamples, dryBuffer.getNumSamples()),
                           false, true, true);
        dryBuffer.clear();
    }

    outputGain.setTargetValue (gainFromDecibels (outputTrimRaw->load()));
    inputGain.setTargetValue (gainFromDecibels (inputTrimRaw->load()));
    bypassMix.setTargetValue (bypassTarget (bypassRaw->load()));

    applySmoothedGain (buffer, inputGain, numSamples);
    dryPath.process (buffer, dryBuffer, numSamples);
    product->process (buffer, view);
    applySmoothedGain (buffer, outputGain, numSamples);
    applyBypassCrossfade (buffer, dryBuffer, bypassMix, numSamples);
}

// Editor ----------------------------------------------------------------------

juce::AudioProcessorEditor* Processor::createEditor()
{
    return new Editor (*this);
}

// Programs --------------------------------------------------------------------

int Processor::getNumPrograms()
{
    return std::max (1, static_cast<int> (presets.size()));
}

const juce::String Processor::getProgramName (int index)
{
    if (static_cast<unsigned> (index) >= presets.size())
        return {};

    const auto& preset = presets[static_cast<size_t> (index)];
    return preset.category.isEmpty() ? preset.name : preset.category + " / " + preset.name;
}

void Processor::setCurrentProgram (int index)
{
    if (static_cast<unsigned> (index) >= presets.size())
        return;

    currentProgram.exchange (index);
    const auto& preset = presets[static_cast<size_t> (index)];

    for (size_t i = 0; i < specs.size(); ++i)
    {
        if (! ownsItsId (specs, i))
            continue;

        auto* parameter = parameters.getParameter (specs[i].id);
        if (parameter == nullptr)
            continue;

        float value = parameter->getDefaultValue();

        for (const auto& [id, presetValue] : preset.values)
            if (id == specs[i].id)
                value = parameter->convertTo0to1 (presetValue);

        parameter->setValueNotifyingHost (value);
    }

    updateHostDisplay (ChangeDetails().withProgramChanged (true));
}

// State -----------------------------------------------------------------------

void Processor::getStateInformation (juce::MemoryBlock& destination)
{
    juce::ValueTree state (kStateType);
    state.setProperty ("schema", 1, nullptr);
    state.setProperty ("engine", info.engine, nullptr);
    state.setProperty ("version", info.version, nullptr);
    state.setProperty ("width", static_cast<int> (editorWidth.getValue()), nullptr);
    state.setProperty ("height", static_cast<int> (editorHeight.getValue()), nullptr);

    if (! presets.empty())
        state.setProperty ("program", currentProgram.load(), nullptr);

    state.appendChild (parameters.copyState(), nullptr);

    if (auto xml = state.createXml())
        writeStateBlob (*xml, destination);
}

void Processor::setStateInformation (const void* data, int sizeInBytes)
{
    const auto xml = readStateBlob (data, sizeInBytes);
    if (xml == nullptr)
        return;

    const auto tree = juce::ValueTree::fromXml (*xml);

    if (tree.hasType (parameters.state.getType()))
    {
        currentProgram = 0;
        restoreParameters (tree);
        return;
    }

    if (! tree.hasType (kStateType))
        return;

    const int program = tree.getProperty ("program", 0);
    currentProgram = static_cast<unsigned> (program) < static_cast<unsigned> (getNumPrograms()) ? program : 0;

    const auto savedParameters = tree.getChildWithName (parameters.state.getType());
    if (savedParameters.isValid())
        restoreParameters (savedParameters);

    if (tree.hasProperty ("width"))
        editorWidth = static_cast<int> (tree.getProperty ("width"));

    if (tree.hasProperty ("height"))
        editorHeight = static_cast<int> (tree.getProperty ("height"));
}

void Processor::restoreParameters (const juce::ValueTree& savedParameters)
{
    auto restored = savedParameters.createCopy();

    for (auto* parameter : getParameters())
    {
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter);
        if (ranged == nullptr)
            continue;

        const auto& id = ranged->getParameterID();
        const auto defaultValue = ranged->convertFrom0to1 (ranged->getDefaultValue());
        bool mentioned = false;

        for (auto child : restored)
        {
            if (child.getProperty ("id").toString() != id)
                continue;

            mentioned = true;

            // "nan" or "inf" would pass the parameter's limits unchanged.
            if (child.hasProperty ("value") && ! std::isfinite (static_cast<float> (child.getProperty ("value"))))
                child.setProperty ("value", defaultValue, nullptr);
        }

        if (! mentioned)
        {
            // The framework keeps the present value of a parameter that the saved
            // tree does not mention; a saved state means "everything else at its default".
            juce::ValueTree child (kParamType);
            child.setProperty ("id", id, nullptr);
            child.setProperty ("value", defaultValue, nullptr);
            restored.appendChild (child, nullptr);
        }
    }

    parameters.replaceState (restored);
    setParametersExactly (*this, parameters);
}

} // namespace zep
