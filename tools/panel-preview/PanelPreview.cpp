// vantrel-panel-preview OUTDIR
//
// Composes the panel at rest from the compiled images and the chassis tables
// (background, knobs at their default positions with glow and light spill, ratio
// "4" lit, clean toggle down, lamp lit, readout "0.0 GR dB", needle at 0 dB,
// glass) and writes it as panel-1x.png (720 x 366) and panel-2x.png (1440 x 732),
// plus contact-sheet.png with every image at 2x on a grey ground. It is how the
// artwork is judged as a whole; the plug-in's own painter draws the same layers.

#include "product/panel/ChassisGeometry.h"
#include "product/panel/ChassisImage.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>
#include <iostream>

namespace
{
using namespace vt;

// Glow and spill brightness for a knob at normalised v with nominal position d.
float brightness (float v, float d)
{
    if (d >= 0.999f)
        return 0.18f + 0.37f * v;
    if (v <= d)
        return 0.18f + 0.37f * v / d;
    return 0.55f + 0.45f * (v - d) / (1.0f - d);
}

float pointerAngle (float v) { return juce::degreesToRadians (270.0f * v - 135.0f); }

// Adds `spill` (RGB on black) to `layer` with a screen blend scaled by gain/256.
void screenBlend (juce::Image& layer, const juce::Image& spill, int ix, int iy, int gain)
{
    const auto region = juce::Rectangle<int> (ix, iy, spill.getWidth(), spill.getHeight()).getIntersection (layer.getBounds());
    if (region.isEmpty())
        return;

    juce::Image::BitmapData dst (layer, juce::Image::BitmapData::readWrite);
    juce::Image::BitmapData src (spill, juce::Image::BitmapData::readOnly);

    for (int y = region.getY(); y < region.getBottom(); ++y)
        for (int x = region.getX(); x < region.getRight(); ++x)
        {
            auto* d = reinterpret_cast<juce::PixelARGB*> (dst.getPixelPointer (x, y));
            const auto* s = reinterpret_cast<const juce::PixelARGB*> (src.getPixelPointer (x - ix, y - iy));
            const int a = d->getAlpha();
            auto blend = [&] (juce::uint8 dc, juce::uint8 sc)
            {
                const int t = (sc * gain) >> 8;
                return static_cast<juce::uint8> (std::min (a, dc + ((a - dc) * t) / 255));
            };
            d->setARGB (d->getAlpha(), blend (d->getRed(), s->getRed()), blend (d->getGreen(), s->getGreen()), blend (d->getBlue(), s->getBlue()));
        }
}

void drawImage (juce::Graphics& g, const juce::Image& image, juce::AffineTransform placement, float opacity = 1.0f)
{
    if (! image.isValid())
        return;
    g.setOpacity (opacity);
    g.drawImageTransformed (image, placement);
    g.setOpacity (1.0f);
}

juce::Image composePanel (float pixelScale)
{
    const bool hiRes = pixelScale > 1.0f;
    const float k = hiRes ? 0.5f : 1.0f;
    const int width = juce::roundToInt (chassis::kDesignWidth * pixelScale);
    const int height = juce::roundToInt (chassis::kDesignHeight * pixelScale);

    juce::Image layer (juce::Image::ARGB, width, height, true);
    const float defaults[5] = { 0.4f, 29.0f / 48.0f, 1.0f / 3.0f, 2.0f / 3.0f, 1.0f }; // parameter defaults, normalised

    {
        juce::Graphics g (layer);
        g.addTransform (juce::AffineTransform::scale (pixelScale));
        g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);

        drawImage (g, chassisImage ("background.png", hiRes), juce::AffineTransform::scale (k));

        for (int i = 0; i < 5; ++i)
        {
            const auto& knob = chassis::kKnobs[i];
            const auto square = knob.knobSquare();
            const float v = defaults[i];
            const auto placed = juce::AffineTransform::scale (k).translated (square.x, square.y);
            const auto turned = juce::AffineTransform::scale (k)
                                    .rotated (pointerAngle (v), knob.size / 2, knob.size / 2)
                                    .translated (square.x, square.y);

            drawImage (g, chassisImage (knob.baseImage, hiRes), placed);
            drawImage (g, chassisImage (knob.pointerImage, hiRes), turned);
            drawImage (g, chassisImage (knob.glowImage, hiRes), turned, brightness (v, knob.nominal));
            drawImage (g, chassisImage (knob.sheenImage, hiRes), placed);
        }
    }

    for (int i = 0; i < 5; ++i)
    {
        const auto& knob = chassis::kKnobs[i];
        const float v = defaults[i];
        const float cx = knob.centreX * pixelScale, cy = knob.centreY * pixelScale;
        const int n = static_cast<int> (std::ceil (pixelScale * knob.spillSize)) + 2;
        const int ix = static_cast<int> (std::floor (cx - n / 2.0f)), iy = static_cast<int> (std::floor (cy - n / 2.0f));

        juce::Image scratch (juce::Image::ARGB, n, n, false);
        {
            juce::Graphics g (scratch);
            g.fillAll (juce::Colours::black);
            g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
            drawImage (g, chassisImage (knob.spillImage, hiRes),
                       juce::AffineTransform::scale (k)
                           .rotated (pointerAngle (v), knob.spillSize / 2, knob.spillSize / 2)
                           .translated (-knob.spillSize / 2, -knob.spillSize / 2)
                           .scaled (pixelScale)
                           .translated (cx - ix, cy - iy));
        }
        screenBlend (layer, scratch, ix, iy, juce::jlimit (0, 256, juce::roundToInt (brightness (v, knob.nominal) * 256.0f)));
    }

    juce::Graphics g (layer);
    g.addTransform (juce::AffineTransform::scale (pixelScale));
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);

    for (const auto& button : chassis::kRatioButtons)
        drawImage (g, chassisImage (button.index == 0 ? button.onImage : button.offImage, hiRes),
                   juce::AffineTransform::scale (k).translated (button.imageRect.x, button.imageRect.y));

    const auto& toggle = chassis::kToggles[0];
    drawImage (g, chassisImage (toggle.offImage, hiRes), juce::AffineTransform::scale (k).translated (toggle.imageRect.x, toggle.imageRect.y));
    drawImage (g, chassisImage ("lamp_dirty_on.png", hiRes), juce::AffineTransform::scale (k).translated (chassis::kLampRect.x, chassis::kLampRect.y));

    // Readout "0.0" with its caption.
    const juce::String text = "0.0";
    const auto glyphs = chassisImage ("readout_glyphs.png", hiRes);
    const float start = chassis::kReadoutCentreX - static_cast<float> (text.length()) * chassis::kReadoutPitch / 2;
    for (int i = 0; i < text.length(); ++i)
    {
        const int index = juce::String (chassis::kGlyphOrder).indexOfChar (text[i]);
        if (index < 0 || ! glyphs.isValid())
            continue;
        const int cellScale = hiRes ? 2 : 1;
        const auto cell = glyphs.getClippedImage ({ index * 23 * cellScale, 0, 23 * cellScale, 30 * cellScale });
        drawImage (g, cell, juce::AffineTransform::scale (k).translated (start + chassis::kReadoutPitch * static_cast<float> (i) - 8, chassis::kReadoutGlyphTop));
    }
    drawImage (g, chassisImage ("readout_key_gr_db.png", hiRes), juce::AffineTransform::scale (k).translated (337, chassis::kReadoutCaptionTop));

    const float needleAngle = juce::degreesToRadians (135.0f);
    drawImage (g, chassisImage ("meter_needle.png", hiRes),
               juce::AffineTransform::scale (k).rotated (needleAngle, 66, 66).translated (chassis::kMeterRect.x, chassis::kMeterRect.y));
    drawImage (g, chassisImage ("meter_glass.png", hiRes), juce::AffineTransform::scale (k).translated (chassis::kMeterRect.x, chassis::kMeterRect.y));

    return layer;
}

const char* const kAllImages[] = {
    "background.png", "knob_large_base.png", "knob_large_pointer.png", "knob_large_pointer_glow.png", "knob_large_sheen.png",
    "knob_large_spill.png", "knob_small_base.png", "knob_small_pointer.png", "knob_small_pointer_glow.png", "knob_small_sheen.png",
    "knob_small_spill.png", "knob_mix_base.png", "knob_mix_pointer.png", "knob_mix_pointer_glow.png", "knob_mix_sheen.png",
    "knob_mix_spill.png", "meter_needle.png", "meter_glass.png", "ratio_4_off.png", "ratio_4_on.png", "ratio_8_off.png",
    "ratio_8_on.png", "ratio_12_off.png", "ratio_12_on.png", "ratio_20_off.png", "ratio_20_on.png", "ratio_all_off.png",
    "ratio_all_on.png", "toggle_clean_off.png", "toggle_clean_on.png", "lamp_dirty_on.png", "readout_glyphs.png",
    "readout_key_gr_db.png", "readout_key_input.png", "readout_key_output.png", "readout_key_attack.png",
    "readout_key_release.png", "readout_key_mix.png", "readout_key_bypass.png",
};

// Every image at 2x, background first on its own row, the rest flowing in rows.
juce::Image contactSheet()
{
    const int margin = 16, labelHeight = 14, sheetWidth = 1472;
    std::vector<std::pair<juce::String, juce::Image>> images;
    for (const auto* name : kAllImages)
        images.emplace_back (name, chassisImage (name, true));

    // Lay out once to find the height, then draw.
    auto layout = [&] (juce::Graphics* g)
    {
        int x = margin, y = margin, rowHeight = 0;
        for (const auto& [name, image] : images)
        {
            const int w = juce::jmax (image.getWidth(), 60), h = image.getHeight() + labelHeight;
            if (x + w + margin > sheetWidth)
            {
                x = margin;
                y += rowHeight + margin;
                rowHeight = 0;
            }
            if (g != nullptr)
            {
                g->setColour (juce::Colour (0xff505050));
                g->fillRect (x, y, image.getWidth(), image.getHeight());
                g->drawImageAt (image, x, y);
                g->setColour (juce::Colours::white);
                g->setFont (11.0f);
                g->drawText (name, x, y + image.getHeight(), w, labelHeight, juce::Justification::centredLeft);
            }
            x += w + margin;
            rowHeight = juce::jmax (rowHeight, h);
        }
        return y + rowHeight + margin;
    };

    juce::Image sheet (juce::Image::RGB, sheetWidth, layout (nullptr), true);
    juce::Graphics g (sheet);
    g.fillAll (juce::Colour (0xff303030));
    layout (&g);
    return sheet;
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    return out.openedOk() && png.writeImageToStream (image, out);
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: vantrel-panel-preview OUTDIR\n";
        return 2;
    }

    const juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const juce::File outDir = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);

    if (! outDir.createDirectory())
    {
        std::cerr << "vantrel-panel-preview: cannot create " << outDir.getFullPathName() << "\n";
        return 1;
    }

    const std::pair<const char*, juce::Image> outputs[] = {
        { "panel-1x.png", composePanel (1.0f) },
        { "panel-2x.png", composePanel (2.0f) },
        { "contact-sheet.png", contactSheet() },
    };

    for (const auto& [name, image] : outputs)
    {
        const auto file = outDir.getChildFile (name);
        if (! writePng (image, file))
        {
            std::cerr << "vantrel-panel-preview: cannot write " << file.getFullPathName() << "\n";
            return 1;
        }
        std::cout << file.getFullPathName() << "\n";
    }
    return 0;
}
