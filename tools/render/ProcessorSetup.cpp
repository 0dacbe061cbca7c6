#include "tools/render/ProcessorSetup.h"

#include "shell/StateBlob.h"

#include <cmath>
#include <cstring>

namespace vrender
{
namespace
{
    // "3", "-1.5", "0.35": at most three decimals, no trailing zeros.
    juce::String formatNumber (double value)
    {
        auto text = juce::String (value, 3);
        if (text.containsChar ('.'))
            text = text.trimCharactersAtEnd ("0").trimCharactersAtEnd (".");
        return text == "-0" ? juce::String ("0") : text;
    }

    // "0=4 1=8 2=12 3=20 4=ALL"
    juce::String choiceList (const juce::AudioParameterChoice& choice)
    {
        juce::StringArray entries;
        for (int i = 0; i < choice.choices.size(); ++i)
            entries.add (juce::String (i) + "=" + choice.choices[i]);
        return entries.joinIntoString (" ");
    }

    juce::StringArray parameterIds (zep::Processor& processor)
    {
        juce::StringArray ids;
        for (auto* parameter : processor.getParameters())
            if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter))
                ids.add (ranged->getParameterID());
        return ids;
    }

    Status resolveProgram (zep::Processor& processor, const juce::String& wanted, int& program)
    {
        const int count = processor.getNumPrograms();

        for (int i = 0; i < count; ++i)
            if (processor.getProgramName (i) == wanted)
            {
                program = i;
                return Status::success();
            }

        if (wanted.containsOnly ("0123456789") && wanted.length() <= 6)
        {
            const int index = wanted.getIntValue();
            if (index < count)
            {
                program = index;
                return Status::success();
            }
            return Status::usage ("--preset " + wanted + ": no such program; the indexes are 0 to " + juce::String (count - 1)
                                  + " (see --list-presets)");
        }

        juce::String hint;
        for (int i = 0; i < count; ++i)
            if (processor.getProgramName (i).equalsIgnoreCase (wanted))
                hint = "; did you mean '" + processor.getProgramName (i) + "'?";

        return Status::usage ("--preset '" + wanted + "': no such program" + (hint.isNotEmpty() ? hint : " (see --list-presets)"));
    }

    Status resolveValue (zep::Processor& processor, const ParameterSetting& setting, juce::RangedAudioParameter*& parameter, float& value)
    {
        const auto prefix = "--set " + setting.argument + ": ";
        parameter = processor.parameters.getParameter (setting.id);

        if (parameter == nullptr)
            return Status::usage (prefix + "unknown parameter '" + setting.id + "'; valid IDs: "
                                  + parameterIds (processor).joinIntoString (", "));

        const double v = setting.value;

        if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (parameter))
        {
            const int last = choice->choices.size() - 1;
            if (v != std::floor (v) || v < 0.0 || v > last)
                return Status::usage (prefix + "must be a choice index, a whole number from 0 to " + juce::String (last)
                                      + " (" + choiceList (*choice) + ")");
        }
        else if (dynamic_cast<juce::AudioParameterBool*> (parameter) != nullptr)
        {
            if (v != 0.0 && v != 1.0)
                return Status::usage (prefix + "must be 0 (off) or 1 (on)");
        }
        else
        {
            const auto& range = parameter->getNormalisableRange();
            if (v < range.start || v > range.end)
                return Status::usage (prefix + "out of range; " + setting.id + " goes from " + formatNumber (range.start)
                                      + " to " + formatNumber (range.end)
                                      + (parameter->getLabel().isNotEmpty() ? " " + parameter->getLabel() : juce::String()));
        }

        value = static_cast<float> (v);
        return Status::success();
    }
} // namespace

Status resolveSettings (zep::Processor& processor, const Options& options, ResolvedSettings& resolved)
{
    ResolvedSettings result;

    if (options.preset.isNotEmpty())
        if (auto status = resolveProgram (processor, options.preset, result.program); ! status.ok())
            return status;

    for (const auto& setting : options.settings)
    {
        juce::RangedAudioParameter* parameter = nullptr;
        float value = 0.0f;

        if (auto status = resolveValue (processor, setting, parameter, value); ! status.ok())
            return status;

        result.values.emplace_back (parameter, value);
    }

    resolved = std::move (result);
    return Status::success();
}

Status readStateFile (const juce::File& file, juce::MemoryBlock& state)
{
    const auto quoted = "--state '" + file.getFullPathName() + "'";

    if (! file.existsAsFile())
        return Status::io (quoted + ": no such file");

    juce::MemoryBlock data;
    if (! file.loadFileAsData (data))
        return Status::io (quoted + ": cannot be read");

    if (data.getSize() < 4 || std::memcmp (data.getData(), "VC2!", 4) != 0)
        return Status::io (quoted + ": not a Vantrel state (it does not start with \"VC2!\")");

    const auto xml = zep::readStateBlob (data.getData(), static_cast<int> (std::min<size_t> (data.getSize(), 0x7fffffff)));
    if (xml == nullptr)
        return Status::io (quoted + ": the state inside is damaged or unreadable");

    if (! xml->hasTagName ("ZEPSTATE") && ! xml->hasTagName ("PARAMETERS"))
        return Status::io (quoted + ": holds a <" + xml->getTagName() + "> document, not a Vantrel state");

    state = std::move (data);
    return Status::success();
}

void applySettings (zep::Processor& processor, const juce::MemoryBlock& state, const ResolvedSettings& resolved)
{
    if (state.getSize() > 0)
        processor.setStateInformation (state.getData(), static_cast<int> (state.getSize()));

    if (resolved.program >= 0)
        processor.setCurrentProgram (resolved.program);

    for (const auto& [parameter, value] : resolved.values)
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

juce::String describePrograms (zep::Processor& processor)
{
    juce::String text;
    for (int i = 0; i < processor.getNumPrograms(); ++i)
        text << juce::String (i).paddedLeft (' ', 2) << "  " << processor.getProgramName (i) << "\n";
    return text;
}

juce::String describeParameters (zep::Processor& processor)
{
    struct Row
    {
        juce::String id, name, range, fallback, unit;
    };

    std::vector<Row> rows { { "ID", "NAME", "RANGE", "DEFAULT", "UNIT" } };

    for (auto* base : processor.getParameters())
    {
        auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (base);
        if (parameter == nullptr)
            continue;

        Row row { parameter->getParameterID(), parameter->getName (64), {}, {}, parameter->getLabel() };
        const float defaultValue = parameter->convertFrom0to1 (parameter->getDefaultValue());

        if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (parameter))
        {
            row.range = "0.." + juce::String (choice->choices.size() - 1) + " (" + choiceList (*choice) + ")";
            const int index = juce::roundToInt (defaultValue);
            row.fallback = juce::String (index) + " (" + choice->choices[index] + ")";
        }
        else if (dynamic_cast<juce::AudioParameterBool*> (parameter) != nullptr)
        {
            row.range = "0 or 1 (off/on)";
            row.fallback = defaultValue > 0.5f ? "1" : "0";
        }
        else
        {
            const auto& range = parameter->getNormalisableRange();
            row.range = formatNumber (range.start) + " .. " + formatNumber (range.end);
            row.fallback = formatNumber (defaultValue);
        }

        if (row.unit == "%")
            row.unit = "% (given as 0..1)";

        rows.push_back (row);
    }

    size_t widths[4] = {};
    for (const auto& row : rows)
    {
        widths[0] = std::max (widths[0], static_cast<size_t> (row.id.length()));
        widths[1] = std::max (widths[1], static_cast<size_t> (row.name.length()));
        widths[2] = std::max (widths[2], static_cast<size_t> (row.range.length()));
        widths[3] = std::max (widths[3], static_cast<size_t> (row.fallback.length()));
    }

    juce::String text;
    for (const auto& row : rows)
    {
        auto line = row.id.paddedRight (' ', static_cast<int> (widths[0]) + 2) + row.name.paddedRight (' ', static_cast<int> (widths[1]) + 2)
                    + row.range.paddedRight (' ', static_cast<int> (widths[2]) + 2)
                    + row.fallback.paddedRight (' ', static_cast<int> (widths[3]) + 2) + row.unit;
        text << line.trimEnd() << "\n";
    }
    return text;
}

} // namespace vrender
