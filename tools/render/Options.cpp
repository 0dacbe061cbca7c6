#include "tools/render/Options.h"

#include "tools/render/AudioFiles.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace vrender
{

bool parseNumber (const juce::String& text, double& value)
{
    const auto trimmed = text.trim();
    if (trimmed.isEmpty() || trimmed != text)
        return false;

    const auto utf8 = trimmed.toStdString();
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod (utf8.c_str(), &end);

    if (end != utf8.c_str() + utf8.size() || errno == ERANGE || ! std::isfinite (parsed))
        return false;

    // strtod also reads hexadecimal; a parameter value is plain decimal.
    if (trimmed.containsIgnoreCase ("x"))
        return false;

    value = parsed;
    return true;
}

namespace
{
    juce::File fileFromArgument (const juce::String& text)
    {
        return juce::File::getCurrentWorkingDirectory().getChildFile (text);
    }

    bool parseBlockSize (const juce::String& text, int& blockSize)
    {
        if (text.isEmpty() || ! text.containsOnly ("0123456789") || text.length() > 6)
            return false;

        blockSize = text.getIntValue();
        return blockSize >= 1 && blockSize <= kMaxBlockSize;
    }

    bool parseSampleFormat (const juce::String& text, SampleFormat& format)
    {
        if (text == "16")
            format = SampleFormat::int16;
        else if (text == "24")
            format = SampleFormat::int24;
        else if (text == "32f")
            format = SampleFormat::float32;
        else
            return false;

        return true;
    }

    Status parseSetting (const juce::String& text, ParameterSetting& setting)
    {
        const int equals = text.indexOfChar ('=');
        if (equals <= 0)
            return Status::usage ("--set " + text + ": expected ID=VALUE, e.g. --set attack=5");

        setting.id = text.substring (0, equals);
        setting.argument = text;
        const auto valueText = text.substring (equals + 1);

        if (! parseNumber (valueText, setting.value))
            return Status::usage ("--set " + text + ": '" + valueText + "' is not a number");

        return Status::success();
    }

    // Checks that need the whole command line: the file names and what they imply.
    Status checkCombination (const Options& options, const juce::StringArray& positional, Command listCommand,
                             const juce::String& listOption, bool otherOptionsGiven)
    {
        if (listCommand != Command::render)
        {
            if (! positional.isEmpty() || otherOptionsGiven)
                return Status::usage (listOption + " takes no other arguments");
            return Status::success();
        }

        if (positional.size() < 2)
            return Status::usage ("expected an input and an output file: vantrel-render IN OUT [options] (see --help)");

        if (positional.size() > 2)
            return Status::usage ("unexpected argument '" + positional[2] + "' (IN and OUT are already given)");

        for (const auto& name : positional)
            if (name.isEmpty())
                return Status::usage ("an empty file name was given for IN or OUT");

        const auto type = fileTypeFor (options.output);
        if (type == FileType::unknown)
            return Status::usage ("OUT '" + positional[1] + "': unknown output type '" + options.output.getFileExtension()
                                  + "' (use .wav, .aif, .aiff or .flac)");

        if (bitsFor (type, options.sampleFormat) == 0)
            return Status::usage ("--bits 32f: " + fileTypeName (type) + " files store 16 or 24 bits; use .wav for 32-bit float");

        if (options.plot != juce::File() && ! options.plot.hasFileExtension ("png"))
            return Status::usage ("--plot " + options.plot.getFileName() + ": the plot is a PNG image; give it a .png name");

        return Status::success();
    }
} // namespace

ParseResult parseArguments (const juce::StringArray& arguments)
{
    ParseResult result;
    auto& options = result.options;
    juce::StringArray positional;
    juce::StringArray seen;
    Command listCommand = Command::render;
    juce::String listOption;
    bool otherOptionsGiven = false;

    auto fail = [&result] (Status status)
    {
        result.status = std::move (status);
        return result;
    };

    // Asking for help is never an error, whatever else is on the line.
    for (const auto& argument : arguments)
    {
        if (argument == "--")
            break;
        if (argument == "--help" || argument == "-h")
        {
            options.command = Command::help;
            return result;
        }
    }

    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];

        if (! argument.startsWith ("-") || argument == "-")
        {
            positional.add (argument);
            continue;
        }

        if (argument == "--")
        {
            for (++i; i < arguments.size(); ++i)
                positional.add (arguments[i]);
            break;
        }

        // "--name=value" and "--name value" are the same.
        auto name = argument;
        juce::String inlineValue;
        bool hasInlineValue = false;

        if (argument.startsWith ("--") && argument.containsChar ('='))
        {
            name = argument.upToFirstOccurrenceOf ("=", false, false);
            inlineValue = argument.fromFirstOccurrenceOf ("=", false, false);
            hasInlineValue = true;
        }

        auto isFlag = [&] (const char* flag) { return name == flag; };

        const bool isSwitch = isFlag ("--help") || isFlag ("-h") || isFlag ("--list-presets") || isFlag ("--list-params")
                              || isFlag ("--quiet") || isFlag ("-q");

        if (isSwitch && hasInlineValue)
            return fail (Status::usage (name + " takes no value"));

        if (isFlag ("--list-presets") || isFlag ("--list-params"))
        {
            if (listCommand != Command::render && listOption != name)
                return fail (Status::usage (listOption + " and " + name + " cannot be combined"));

            listCommand = isFlag ("--list-presets") ? Command::listPresets : Command::listParams;
            listOption = name;
            continue;
        }

        if (isFlag ("--quiet") || isFlag ("-q"))
        {
            options.quiet = true;
            continue;
        }

        const bool takesValue = isFlag ("--preset") || isFlag ("--set") || isFlag ("--state") || isFlag ("--save-state")
                                || isFlag ("--block") || isFlag ("--bits") || isFlag ("--plot");

        if (! takesValue)
            return fail (Status::usage ("unknown option '" + name + "' (see --help)"));

        juce::String value;
        if (hasInlineValue)
            value = inlineValue;
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        else
            return fail (Status::usage (name + " needs a value"));

        otherOptionsGiven = true;

        if (! isFlag ("--set"))
        {
            if (seen.contains (name))
                return fail (Status::usage (name + " is given more than once"));
            seen.add (name);
        }

        if (value.isEmpty())
            return fail (Status::usage (name + " needs a value"));

        if (isFlag ("--preset"))
            options.preset = value;
        else if (isFlag ("--set"))
        {
            ParameterSetting setting;
            if (auto status = parseSetting (value, setting); ! status.ok())
                return fail (status);
            options.settings.push_back (setting);
        }
        else if (isFlag ("--state"))
            options.stateIn = fileFromArgument (value);
        else if (isFlag ("--save-state"))
            options.stateOut = fileFromArgument (value);
        else if (isFlag ("--plot"))
            options.plot = fileFromArgument (value);
        else if (isFlag ("--block"))
        {
            if (! parseBlockSize (value, options.blockSize))
                return fail (Status::usage ("--block " + value + ": must be a whole number from 1 to " + juce::String (kMaxBlockSize)));
        }
        else if (isFlag ("--bits"))
        {
            if (! parseSampleFormat (value, options.sampleFormat))
                return fail (Status::usage ("--bits " + value + ": must be 16, 24 or 32f"));
        }
    }

    if (positional.size() >= 1 && positional[0].isNotEmpty())
        options.input = fileFromArgument (positional[0]);
    if (positional.size() >= 2 && positional[1].isNotEmpty())
        options.output = fileFromArgument (positional[1]);

    if (auto status = checkCombination (options, positional, listCommand, listOption, otherOptionsGiven); ! status.ok())
        return fail (status);

    options.command = listCommand;
    return result;
}

juce::String usageText()
{
    return "Usage: vantrel-render IN OUT [options]\n"
           "       vantrel-render --list-presets | --list-params | --help\n"
           "\n"
           "Runs an audio file through the Vantrel compressor exactly as a host would and\n"
           "writes the result with the same sample rate and channel count (mono or stereo).\n"
           "IN may be WAV, AIFF or FLAC; OUT's extension (.wav, .aif, .aiff, .flac) picks its type.\n"
           "\n"
           "Options:\n"
           "  --preset NAME|INDEX  start from a factory program, by exact name or index (--list-presets)\n"
           "  --set ID=VALUE       set a parameter in its own units (--list-params); repeatable\n"
           "  --state FILE         load a saved plug-in state (from a host or --save-state)\n"
           "  --save-state FILE    write the plug-in state used for the render\n"
           "  --block N            processing block size, 1..65536 (default 512)\n"
           "  --bits 16|24|32f     output sample format (default: 32f for WAV, 24 for AIFF and FLAC)\n"
           "  --plot FILE.png      draw input level, output level and gain reduction over time\n"
           "  --quiet, -q          print nothing on success\n"
           "\n"
           "Settings apply in this order: --state, then --preset, then each --set as given.\n"
           "Exit codes: 0 success, 1 a file could not be read or written, 2 invalid arguments.\n"
           "The output files are replaced only when the render succeeds.\n";
}

} // namespace vrender
