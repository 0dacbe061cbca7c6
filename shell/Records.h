#pragma once

// The plain records that cross the seam between the shell and its product:
// parameter declarations, factory presets, the parameter view, and the IDs that
// the shell reserves for its own parameters.

#include <juce_core/juce_core.h>

#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

namespace zep
{

/** The kind of a parameter declaration. Any other value declares nothing. */
enum class ParamKind : std::int32_t
{
    Float = 0,
    Choice = 1,
    Bool = 2,
};

/** One parameter declaration. Fields a kind does not use are ignored. */
struct ParamSpec
{
    juce::String id;
    juce::String name;
    ParamKind kind = ParamKind::Float;
    float min = 0.0f;
    float max = 1.0f;
    float defaultValue = 0.0f;
    /** Fraction of the range shown at mid travel; 1 means a linear range. */
    float skewCentre = 1.0f;
    /** "dB", "%" or empty: the host's label, and it selects the text conversions. */
    juce::String unit;
    juce::StringArray choices;
    std::int32_t defaultIndex = 0;
    bool defaultState = false;
    juce::String tooltip;
    std::int32_t versionHint = 1;
};

/** One factory preset: values in each parameter's own units (dB, position,
    choice index as a float, 0 or 1). Later pairs with the same ID win. */
struct Preset
{
    juce::String category;
    juce::String name;
    std::vector<std::pair<juce::String, float>> values;
};

/** The product's window onto the live parameter values, in declaration order.
    Entries are null where a declaration produced no parameter of its own. */
struct ParamView
{
    std::vector<std::atomic<float>*> values;

    /** The live value of entry index; 0 for an index outside the list or a null entry. */
    float get (int index) const noexcept
    {
        if (index < 0 || index >= static_cast<int> (values.size()))
            return 0.0f;

        const auto* value = values[static_cast<size_t> (index)];
        return value != nullptr ? value->load() : 0.0f;
    }
};

/** The IDs of the shell's own parameters. A product declaration using one is ignored. */
namespace ShellParamID
{
    inline const juce::String inputTrimDb { "inputTrimDb" };
    inline const juce::String outputTrimDb { "outputTrimDb" };
    inline const juce::String bypass { "bypass" };

    inline bool isReserved (const juce::String& id)
    {
        return id == inputTrimDb || id == outputTrimDb || id == bypass;
    }
} // namespace ShellParamID

} // namespace zep
