#pragma once

// Putting the processor into the state the command line asks for: a saved state,
// then a program, then the --set values in order. Everything is checked before
// anything is applied, so a bad argument changes nothing.

#include "tools/render/Options.h"
#include "tools/render/Status.h"

#include "shell/Processor.h"

#include <utility>
#include <vector>

namespace vrender
{

/** The checked settings, ready to apply. */
struct ResolvedSettings
{
    int program = -1; // -1: no --preset
    std::vector<std::pair<juce::RangedAudioParameter*, float>> values;
};

/** Looks up the --preset and the --set's on the processor's programs and parameters. */
Status resolveSettings (zep::Processor& processor, const Options& options, ResolvedSettings& resolved);

/** Reads a saved state file and checks that the processor would accept it: the
    "VC2!" header, a readable XML document with a "ZEPSTATE" or "PARAMETERS" root. */
Status readStateFile (const juce::File& file, juce::MemoryBlock& state);

/** Applies the state (if not empty), the program, then the values, notifying the host as a host would. */
void applySettings (zep::Processor& processor, const juce::MemoryBlock& state, const ResolvedSettings& resolved);

/** One line per program: index and name. */
juce::String describePrograms (zep::Processor& processor);

/** One line per host parameter: ID, name, range or choices, default, unit. */
juce::String describeParameters (zep::Processor& processor);

} // namespace vrender
