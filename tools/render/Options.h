#pragma once

// The renderer's command line: what it asks for, and the parser that checks
// everything that can be checked without the processor or the files.

#include "tools/render/Status.h"

#include <juce_core/juce_core.h>

#include <vector>

namespace vrender
{

enum class Command
{
    render,
    help,
    listPresets,
    listParams,
};

/** The sample format requested with --bits; `automatic` picks the file type's default. */
enum class SampleFormat
{
    automatic,
    int16,
    int24,
    float32,
};

/** One --set, as typed. `argument` is the original "ID=VALUE" text, for messages. */
struct ParameterSetting
{
    juce::String id;
    double value = 0.0;
    juce::String argument;
};

struct Options
{
    Command command = Command::render;
    juce::File input;
    juce::File output;
    juce::String preset; // a program name or index; empty for none
    std::vector<ParameterSetting> settings;
    juce::File stateIn;
    juce::File stateOut;
    juce::File plot;
    int blockSize = 512;
    SampleFormat sampleFormat = SampleFormat::automatic;
    bool quiet = false;
};

inline constexpr int kMaxBlockSize = 65536;

struct ParseResult
{
    Options options;
    Status status;
};

/** Parses the arguments that follow the program name. Relative paths are taken
    from the current working directory. Never touches a file. */
ParseResult parseArguments (const juce::StringArray& arguments);

/** The text printed by --help. */
juce::String usageText();

/** Reads a whole decimal number ("-1.5", "3", "2e-1"); false for anything else,
    including trailing characters, an empty text, inf and nan. */
bool parseNumber (const juce::String& text, double& value);

} // namespace vrender
