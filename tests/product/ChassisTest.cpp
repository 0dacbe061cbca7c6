// The panel's compiled images, their lookup by file name, the design transform
// and the chassis geometry tables.

#include "product/panel/ChassisGeometry.h"
#include "product/panel/ChassisImage.h"
#include "product/panel/DesignSpace.h"

#include <gtest/gtest.h>

namespace
{
struct ImageSpec
{
    const char* file;
    int width, height;
};

// Every panel image with its 1x size; all RGBA but the three spill images.
const ImageSpec kImages[] = {
    { "background.png", 720, 366 },
    { "knob_large_base.png", 120, 120 }, { "knob_large_pointer.png", 120, 120 }, { "knob_large_pointer_glow.png", 120, 120 },
    { "knob_large_sheen.png", 120, 120 }, { "knob_large_spill.png", 200, 200 },
    { "knob_small_base.png", 60, 60 }, { "knob_small_pointer.png", 60, 60 }, { "knob_small_pointer_glow.png", 60, 60 },
    { "knob_small_sheen.png", 60, 60 }, { "knob_small_spill.png", 128, 128 },
    { "knob_mix_base.png", 64, 64 }, { "knob_mix_pointer.png", 64, 64 }, { "knob_mix_pointer_glow.png", 64, 64 },
    { "knob_mix_sheen.png", 64, 64 }, { "knob_mix_spill.png", 133, 133 },
    { "meter_needle.png", 132, 132 }, { "meter_glass.png", 132, 132 },
    { "ratio_4_off.png", 96, 89 }, { "ratio_4_on.png", 96, 89 }, { "ratio_8_off.png", 96, 89 }, { "ratio_8_on.png", 96, 89 },
    { "ratio_12_off.png", 96, 89 }, { "ratio_12_on.png", 96, 89 }, { "ratio_20_off.png", 96, 89 }, { "ratio_20_on.png", 96, 89 },
    { "ratio_all_off.png", 96, 89 }, { "ratio_all_on.png", 96, 89 },
    { "toggle_clean_off.png", 46, 46 }, { "toggle_clean_on.png", 46, 46 },
    { "lamp_dirty_on.png", 18, 18 },
    { "readout_glyphs.png", 322, 30 },
    { "readout_key_gr_db.png", 40, 23 }, { "readout_key_input.png", 40, 23 }, { "readout_key_output.png", 44, 23 },
    { "readout_key_attack.png", 44, 23 }, { "readout_key_release.png", 48, 23 }, { "readout_key_mix.png", 30, 23 },
    { "readout_key_bypass.png", 44, 23 },
};

bool isSpill (const char* file) { return juce::String (file).endsWith ("_spill.png"); }

// The PNG header's colour type byte: 6 is RGBA, 2 is RGB.
int pngColourType (const char* file, bool hiRes)
{
    int size = 0;
    const auto* data = static_cast<const unsigned char*> (vt::chassisResource (vt::chassisResourceName (file, hiRes), size));
    return data != nullptr && size > 25 ? data[25] : -1;
}
} // namespace

TEST (ChassisImages, EveryImageExistsAtBothDensitiesWithItsSizeAndColourType)
{
    EXPECT_EQ (std::size (kImages), 39u);

    for (const auto& spec : kImages)
    {
        for (bool hiRes : { false, true })
        {
            const int scale = hiRes ? 2 : 1;
            const auto image = vt::chassisImage (spec.file, hiRes);
            ASSERT_TRUE (image.isValid()) << spec.file << (hiRes ? " 2x" : " 1x");
            EXPECT_EQ (image.getWidth(), spec.width * scale) << spec.file;
            EXPECT_EQ (image.getHeight(), spec.height * scale) << spec.file;
            EXPECT_EQ (pngColourType (spec.file, hiRes), isSpill (spec.file) ? 2 : 6) << spec.file;
        }
    }
}

TEST (ChassisImages, ResourceNamesMapDotsAndHyphens)
{
    EXPECT_EQ (vt::chassisResourceName ("knob_mix_spill.png", false), "vt1x_knob_mix_spill_png");
    EXPECT_EQ (vt::chassisResourceName ("knob_large_base.png", true), "vt2x_knob_large_base_png");
    EXPECT_EQ (vt::chassisResourceName ("knob-mix-spill.png", false), "vt1x_knob_mix_spill_png");

    const auto viaHyphens = vt::chassisImage ("knob-mix-spill.png", false);
    ASSERT_TRUE (viaHyphens.isValid());
    EXPECT_EQ (viaHyphens.getWidth(), 133);
    EXPECT_EQ (vt::chassisImage ("knob_mix_spill.png", true).getWidth(), 266);
}

TEST (ChassisImages, UnknownNamesGiveANullImage)
{
    int size = 123;
    EXPECT_EQ (vt::chassisResource ("vt1x_nothing_png", size), nullptr);
    EXPECT_EQ (size, 0);
    EXPECT_FALSE (vt::chassisImage ("nothing.png", false).isValid());
    EXPECT_FALSE (vt::chassisImage ("", true).isValid());
    EXPECT_FALSE (vt::chassisImage ("BACKGROUND.PNG", false).isValid()) << "names are case-sensitive";
    // Same name hash as "vt1x_background_png": only the exact name may match.
    EXPECT_FALSE (vt::chassisImage ("background.poH", false).isValid());
}

TEST (ChassisImages, RepeatedRequestsShareThePixelData)
{
    const auto first = vt::chassisImage ("meter_glass.png", true);
    const auto second = vt::chassisImage ("meter_glass.png", true);
    ASSERT_TRUE (first.isValid());
    EXPECT_EQ (first.getPixelData(), second.getPixelData());
}

TEST (DesignSpace, ScalesUniformlyAndCentres)
{
    struct Case { int w, h; float scale, x, y; };
    const Case cases[] = {
        { 720, 366, 1.0f, 0.0f, 0.0f }, { 1440, 732, 2.0f, 0.0f, 0.0f }, { 1000, 366, 1.0f, 140.0f, 0.0f }, { 720, 500, 1.0f, 0.0f, 67.0f },
    };

    for (const auto& c : cases)
    {
        const auto t = vt::DesignTransform::forSize (c.w, c.h);
        EXPECT_FLOAT_EQ (t.scale, c.scale) << c.w << "x" << c.h;
        EXPECT_FLOAT_EQ (t.offsetX, c.x) << c.w << "x" << c.h;
        EXPECT_FLOAT_EQ (t.offsetY, c.y) << c.w << "x" << c.h;
    }

    const auto t = vt::DesignTransform::forSize (1000, 366);
    EXPECT_EQ (t.mapToComponent ({ 10.5f, 20.25f, 3.0f, 4.0f }), juce::Rectangle<int> (150, 20, 4, 5));
}

TEST (DesignSpace, HiResImagesOnlyAboveOneDevicePixelPerUnit)
{
    EXPECT_TRUE (vt::useHiResImages (2.0f, 1.0f));
    EXPECT_TRUE (vt::useHiResImages (1.0f, vt::DesignTransform::forSize (1080, 549).scale));
    EXPECT_FALSE (vt::useHiResImages (1.0f, 1.0f));
}

TEST (ChassisGeometry, KnobTable)
{
    using vt::chassis::kKnobs;
    const char* ids[] = { "fetInput", "fetOutput", "attack", "release", "mix" };
    const char* families[] = { "large", "large", "small", "small", "mix" };

    for (int i = 0; i < 5; ++i)
    {
        EXPECT_STREQ (kKnobs[i].paramId, ids[i]);
        const juce::String family = families[i];
        EXPECT_EQ (juce::String (kKnobs[i].baseImage), "knob_" + family + "_base.png");
        EXPECT_EQ (juce::String (kKnobs[i].glowImage), "knob_" + family + "_pointer_glow.png");
        EXPECT_EQ (juce::String (kKnobs[i].spillImage), "knob_" + family + "_spill.png");
        // Every image the tables name exists.
        for (const char* file : { kKnobs[i].baseImage, kKnobs[i].pointerImage, kKnobs[i].glowImage, kKnobs[i].sheenImage, kKnobs[i].spillImage })
            EXPECT_TRUE (vt::chassisImage (file, false).isValid()) << file;
    }

    EXPECT_EQ (kKnobs[2].nominal, 0.3333f);
    EXPECT_EQ (kKnobs[3].nominal, 0.6667f);

    const auto mixSquare = kKnobs[4].knobSquare();
    const auto mixSpill = kKnobs[4].spillSquare();
    EXPECT_EQ (mixSquare.x, 634.0f);
    EXPECT_EQ (mixSquare.y, 260.0f);
    EXPECT_EQ (mixSquare.width, 64.0f);
    EXPECT_EQ (mixSpill.x, 599.5f);
    EXPECT_EQ (mixSpill.y, 225.5f);
    EXPECT_EQ (mixSpill.width, 133.0f);
}

TEST (ChassisGeometry, RatioButtonsAndToggleHitAreas)
{
    for (int j = 0; j < 5; ++j)
    {
        const auto& button = vt::chassis::kRatioButtons[j];
        EXPECT_EQ (button.index, j);
        const auto hit = button.hitArea();
        EXPECT_EQ (hit.x, 425.0f + 37.0f * static_cast<float> (j));
        EXPECT_EQ (hit.y, 277.0f);
        EXPECT_EQ (hit.width, 32.0f);
        EXPECT_EQ (hit.height, 25.0f);
        EXPECT_TRUE (vt::chassisImage (button.offImage, true).isValid()) << button.offImage;
        EXPECT_TRUE (vt::chassisImage (button.onImage, true).isValid()) << button.onImage;
    }

    const auto hit = vt::chassis::kToggles[0].hitArea();
    EXPECT_EQ (hit.x, 400.0f);
    EXPECT_EQ (hit.y, 178.0f);
    EXPECT_EQ (hit.width, 26.0f);
    EXPECT_EQ (hit.height, 26.0f);
    EXPECT_STREQ (vt::chassis::kToggles[0].paramId, "clean");
}
