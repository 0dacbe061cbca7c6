#pragma once

// Turning parameter declarations into the framework's parameter objects.

#include "shell/Records.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <vector>

namespace zep
{

/** The shell's own declarations: input trim, output trim and bypass, in host order. */
std::vector<ParamSpec> shellParameterSpecs();

/** The parameter object for one declaration; null for a kind outside Float, Choice and Bool. */
std::unique_ptr<juce::RangedAudioParameter> createParameter (const ParamSpec& spec);

/** The host parameters for the product's declarations followed by the shell's own.
    A product declaration is skipped when its ID is reserved by the shell or was
    declared before (the first declaration of an ID wins). */
juce::AudioProcessorValueTreeState::ParameterLayout buildParameterLayout (const std::vector<ParamSpec>& productSpecs);

/** Whether product declaration i gets a parameter of its own ID slot: false when its
    ID is reserved by the shell or was declared earlier. (Its kind may still create nothing.) */
bool ownsItsId (const std::vector<ParamSpec>& productSpecs, size_t index);

} // namespace zep
