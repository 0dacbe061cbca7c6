#pragma once

// Where everything sits on the panel, in design units: a 720 x 366 space, origin
// top left, y downwards; one design unit is one pixel of the 1x images.

#include <cstdint>

namespace vt::chassis
{

inline constexpr float kDesignWidth = 720.0f;
inline constexpr float kDesignHeight = 366.0f;

struct Rect
{
    float x, y, width, height;
};

struct KnobSpec
{
    const char* label;
    const char* paramId;
    float centreX;
    float centreY;
    float size;     // side of the knob's image square, also its hit area
    float nominal;  // normalised position of the knob's nominal setting
    const char* baseImage;
    const char* pointerImage;
    const char* glowImage;
    const char* sheenImage;
    const char* spillImage;
    float spillSize; // side of the light-spill square

    Rect knobSquare() const { return { centreX - size / 2, centreY - size / 2, size, size }; }
    Rect spillSquare() const { return { centreX - spillSize / 2, centreY - spillSize / 2, spillSize, spillSize }; }
};

#define VT_KNOB_IMAGES(family) \
    "knob_" family "_base.png", "knob_" family "_pointer.png", "knob_" family "_pointer_glow.png", \
    "knob_" family "_sheen.png", "knob_" family "_spill.png"

inline constexpr KnobSpec kKnobs[5] = {
    { "INPUT",   "fetInput",  118.0f, 122.0f, 120.0f, 0.4f,    VT_KNOB_IMAGES ("large"), 200.0f },
    { "OUTPUT",  "fetOutput", 602.0f, 122.0f, 120.0f, 0.5f,    VT_KNOB_IMAGES ("large"), 200.0f },
    { "ATTACK",  "attack",    288.0f, 292.0f, 60.0f,  0.3333f, VT_KNOB_IMAGES ("small"), 128.0f },
    { "RELEASE", "release",   368.0f, 292.0f, 60.0f,  0.6667f, VT_KNOB_IMAGES ("small"), 128.0f },
    { "MIX",     "mix",       666.0f, 292.0f, 64.0f,  1.0f,    VT_KNOB_IMAGES ("mix"),   133.0f },
};

#undef VT_KNOB_IMAGES

struct RatioButtonSpec
{
    const char* label;
    std::int32_t index; // the ratio choice the button selects
    Rect imageRect;     // images are drawn at its top-left corner
    const char* offImage;
    const char* onImage;

    /** The 32 x 25 button face centred in the image: the hit area. */
    Rect hitArea() const { return { imageRect.x + (imageRect.width - 32) / 2, imageRect.y + (imageRect.height - 25) / 2, 32, 25 }; }
};

inline constexpr RatioButtonSpec kRatioButtons[5] = {
    { "4",   0, { 393, 245, 96, 89 }, "ratio_4_off.png",   "ratio_4_on.png" },
    { "8",   1, { 430, 245, 96, 89 }, "ratio_8_off.png",   "ratio_8_on.png" },
    { "12",  2, { 467, 245, 96, 89 }, "ratio_12_off.png",  "ratio_12_on.png" },
    { "20",  3, { 504, 245, 96, 89 }, "ratio_20_off.png",  "ratio_20_on.png" },
    { "ALL", 4, { 541, 245, 96, 89 }, "ratio_all_off.png", "ratio_all_on.png" },
};

struct ToggleSpec
{
    const char* label;
    const char* paramId;
    Rect imageRect;
    Rect switchRect; // the switch body inside the image
    const char* offImage;
    const char* onImage;

    /** The switch body grown by 4 units on every side: the hit area. */
    Rect hitArea() const { return { switchRect.x - 4, switchRect.y - 4, switchRect.width + 8, switchRect.height + 8 }; }
};

inline constexpr ToggleSpec kToggles[1] = {
    { "CLEAN", "clean", { 390, 168, 46, 46 }, { 404, 182, 18, 18 }, "toggle_clean_off.png", "toggle_clean_on.png" },
};

// Fixed rectangles and positions.
inline constexpr Rect kMeterRect { 291, 22, 132, 132 };
inline constexpr float kMeterPivotX = 357.0f;
inline constexpr float kMeterPivotY = 88.0f;
inline constexpr Rect kLampRect { 313, 182, 18, 18 };
inline constexpr float kReadoutGlyphTop = 104.0f;
inline constexpr float kReadoutCaptionTop = 120.0f;
inline constexpr float kReadoutCentreX = 357.0f;
inline constexpr float kReadoutPitch = 6.4813f;
inline constexpr Rect kRatioRowRepaint { 393, 245, 244, 89 };
inline constexpr Rect kCleanAndLampRepaint { 313, 168, 123, 46 };

// Readout glyph strip: 14 cells of 23 x 30 (1x) in this character order.
inline constexpr const char* kGlyphOrder = "0123456789.-+%";
inline constexpr float kGlyphCellWidth = 23.0f;
inline constexpr float kGlyphCellHeight = 30.0f;

} // namespace vt::chassis
