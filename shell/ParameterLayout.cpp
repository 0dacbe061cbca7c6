#include "shell/ParameterLayout.h"

#include "shell/ValueText.h"

namespace zep
{

std::vector<ParamSpec> shellParameterSpecs()
{
    ParamSpec inputTrim;
    inputTrim.id = ShellParamID::inputTrimDb;
    inputTrim.name = "INPUT";
    inputTrim.kind = ParamKind::Float;
    inputTrim.min = -24.0f;
    inputTrim.max = 24.0f;
    inputTrim.defaultValue = 0.0f;
    inputTrim.unit = "dB";

    ParamSpec outputTrim = inputTrim;
    outputTrim.id = ShellParamID::outputTrimDb;
    outputTrim.name = "OUTPUT";

    ParamSpec bypass;
    bypass.id = ShellParamID::bypass;
    bypass.name = "BYPASS";
    bypass.kind = ParamKind::Bool;
    bypass.defaultState = false;

    return { inputTrim, outputTrim, bypass };
}

std::unique_ptr<juce::RangedAudioParameter> createParameter (const ParamSpec& spec)
{
    const juce::ParameterID parameterId { spec.id, spec.versionHint };

    switch (spec.kind)
    {
        case ParamKind::Float:
        {
            juce::NormalisableRange<float> range { spec.min, spec.max, 0.0f, 1.0f, false };
            range.skew = skewForCentre (spec.min, spec.max, spec.skewCentre);

            auto attributes = juce::AudioParameterFloatAttributes().withLabel (spec.unit);

            if (spec.unit == "dB")
                attributes = attributes.withStringFromValueFunction ([] (float v, int) { return decibelsToText (v); })
                                       .withValueFromStringFunction ([] (const juce::String& t) { return textToDecibels (t); });
            else if (spec.unit == "%")
                attributes = attributes.withStringFromValueFunction ([] (float v, int) { return fractionToPercentText (v); })
                                       .withValueFromStringFunction ([] (const juce::String& t) { return percentTextToFraction (t); });

            return std::make_unique<juce::AudioParameterFloat> (parameterId, spec.name, range, spec.defaultValue, attributes);
        }

        case ParamKind::Choice:
            return std::make_unique<juce::AudioParameterChoice> (parameterId, spec.name, spec.choices, spec.defaultIndex);

        case ParamKind::Bool:
            return std::make_unique<juce::AudioParameterBool> (parameterId, spec.name, spec.defaultState);
    }

    return nullptr;
}

bool ownsItsId (const std::vector<ParamSpec>& productSpecs, size_t index)
{
    const auto& id = productSpecs[index].id;

    if (ShellParamID::isReserved (id))
        return false;

    for (size_t earlier = 0; earlier < index; ++earlier)
        if (productSpecs[earlier].id == id)
            return false;

    return true;
}

juce::AudioProcessorValueTreeState::ParameterLayout buildParameterLayout (const std::vector<ParamSpec>& productSpecs)
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    for (size_t i = 0; i < productSpecs.size(); ++i)
        if (ownsItsId (productSpecs, i))
            if (auto parameter = createParameter (productSpecs[i]))
                layout.add (std::move (parameter));

    for (const auto& spec : shellParameterSpecs())
        layout.add (createParameter (spec));

    return layout;
}

} // namespace zep
