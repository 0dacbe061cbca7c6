#pragma once

#include <cstdint>

namespace vt
{

/** One factory preset, in the parameters' own units. */
struct PresetEntry
{
    const char* category;
    const char* name;
    float inputDb;
    float outputDb;
    float attack;
    float release;
    std::int32_t ratioIndex;
    float mix;
    bool clean;
};

inline constexpr int kNumPresets = 13;

inline constexpr PresetEntry kPresets[kNumPresets] = {
    { "",      "Default",        0.0f,  5.0f, 3.0f, 5.0f, 0, 1.0f,  false },
    { "Drums", "Glue",          -1.5f,  7.0f, 2.0f, 6.0f, 0, 1.0f,  false },
    { "Drums", "Punch",          3.0f,  5.0f, 1.0f, 7.0f, 1, 1.0f,  false },
    { "Drums", "Vantrel",       12.0f,  6.0f, 5.0f, 5.0f, 1, 1.0f,  false },
    { "Drums", "Smash Parallel", 16.5f, 7.5f, 5.0f, 7.0f, 4, 0.4f,  false },
    { "Drums", "Crushed",       12.5f,  7.5f, 7.0f, 7.0f, 4, 1.0f,  false },
    { "Bass",  "Steady",         3.0f,  1.5f, 3.0f, 5.0f, 0, 1.0f,  false },
    { "Bass",  "Growl",          7.5f,  1.5f, 4.0f, 6.0f, 1, 1.0f,  false },
    { "Bass",  "Thick Parallel", 11.0f, 4.0f, 5.0f, 6.0f, 4, 0.4f,  false },
    { "Vocal", "Up Front",       4.0f,  3.5f, 3.0f, 5.0f, 0, 1.0f,  false },
    { "Vocal", "Aggressive",    11.5f,  1.5f, 5.0f, 6.0f, 2, 1.0f,  false },
    { "Vocal", "Parallel Grit", 19.0f,  2.5f, 5.0f, 6.0f, 4, 0.35f, false },
    { "Vocal", "Clean Leveler",  4.0f,  4.0f, 3.0f, 5.0f, 0, 1.0f,  true },
};

} // namespace vt
