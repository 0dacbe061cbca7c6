// The product's parameter declarations and factory presets.

#include "product/CompressorProduct.h"
#include "product/ParameterIds.h"
#include "product/Presets.h"

namespace client
{
namespace
{
    zep::ParamSpec floatParam (const char* id, const char* name, float min, float max, float def,
                               const char* unit, const char* tooltip)
    {
        zep::ParamSpec spec;
        spec.id = id;
        spec.name = name;
        spec.kind = zep::ParamKind::Float;
        spec.min = min;
        spec.max = max;
        spec.defaultValue = def;
        spec.unit = unit;
        spec.tooltip = tooltip;
        return spec;
    }
} // namespace

void Product::declareParameters (std::vector<zep::ParamSpec>& specs)
{
    specs.push_back (floatParam (ParamID::input, "INPUT", -24.0f, 36.0f, 0.0f, "dB",
                                 "How hard you drive it. More input, more compression."));
    specs.push_back (floatParam (ParamID::output, "OUTPUT", -24.0f, 24.0f, 5.0f, "dB",
                                 "Make-up gain after the compressor."));
    specs.push_back (floatParam (ParamID::attack, "ATTACK", 1.0f, 7.0f, 3.0f, "",
                                 "1 is slowest (800 us), 7 is fastest (20 us)."));
    specs.push_back (floatParam (ParamID::release, "RELEASE", 1.0f, 7.0f, 5.0f, "",
                                 "1 is slowest (1.1 s), 7 is fastest (50 ms)."));

    zep::ParamSpec ratio;
    ratio.id = ParamID::ratio;
    ratio.name = "RATIO";
    ratio.kind = zep::ParamKind::Choice;
    ratio.choices = { "4", "8", "12", "20", "ALL" };
    ratio.defaultIndex = 0;
    ratio.tooltip = "ALL is every ratio button in at once: harder, grabbier, dirtier.";
    specs.push_back (ratio);

    specs.push_back (floatParam (ParamID::mix, "MIX", 0.0f, 1.0f, 1.0f, "%",
                                 "Blend the dry signal back in for parallel compression."));

    zep::ParamSpec clean;
    clean.id = ParamID::clean;
    clean.name = "CLEAN";
    clean.kind = zep::ParamKind::Bool;
    clean.defaultState = false;
    clean.tooltip = "The same compressor without the Vantrel colour: no low-end grit, no hiss.";
    specs.push_back (clean);
}

std::vector<zep::Preset> Product::factoryPresets() const
{
    std::vector<zep::Preset> presets;
    presets.reserve (vt::kNumPresets);

    for (const auto& entry : vt::kPresets)
    {
        zep::Preset preset;
        preset.category = entry.category != nullptr ? entry.category : "";
        preset.name = entry.name != nullptr ? entry.name : "";
        preset.values = { { ParamID::input, entry.inputDb },
                          { ParamID::output, entry.outputDb },
                          { ParamID::attack, entry.attack },
                          { ParamID::release, entry.release },
                          { ParamID::ratio, static_cast<float> (entry.ratioIndex) },
                          { ParamID::mix, entry.mix },
                          { ParamID::clean, entry.clean ? 1.0f : 0.0f } };
        presets.push_back (std::move (preset));
    }

    return presets;
}

} // namespace client
