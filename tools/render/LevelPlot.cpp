#include "tools/render/LevelPlot.h"

#include <cmath>

namespace vrender
{
namespace
{
    const juce::Colour kBackground { 0xFFFCFCFB };
    const juce::Colour kPanel { 0xFFFFFFFF };
    const juce::Colour kGrid { 0xFFE4E4E0 };
    const juce::Colour kAxis { 0xFF9A9A94 };
    const juce::Colour kText { 0xFF2B2B2B };
    const juce::Colour kTextDim { 0xFF6B6B66 };
    const juce::Colour kInput { 0xFF2F6DB5 };
    const juce::Colour kOutput { 0xFFE2651A };
    const juce::Colour kReduction { 0xFFC62828 };

    constexpr float kFloorDb = -60.0f;

    /** A step of 1, 2 or 5 times a power of ten that cuts `range` into about `ticks` parts. */
    double niceStep (double range, double ticks)
    {
        const double raw = range / std::max (1.0, ticks);
        const double power = std::pow (10.0, std::floor (std::log10 (raw)));
        for (double m : { 1.0, 2.0, 5.0, 10.0 })
            if (m * power >= raw)
                return m * power;
        return 10.0 * power;
    }

    juce::String tickLabel (double value, double step)
    {
        const int decimals = step >= 1.0 ? 0 : static_cast<int> (std::ceil (-std::log10 (step) - 1.0e-9));
        return juce::String (value, decimals);
    }

    /** The windows merged to at most `columns` columns: peaks and reduction by maximum, RMS by mean power. */
    std::vector<LevelWindow> toColumns (const std::vector<LevelWindow>& windows, int columns)
    {
        if (static_cast<int> (windows.size()) <= columns)
            return windows;

        std::vector<LevelWindow> merged (static_cast<size_t> (columns));
        std::vector<int> counts (static_cast<size_t> (columns), 0);
        std::vector<double> inPower (static_cast<size_t> (columns), 0.0), outPower (static_cast<size_t> (columns), 0.0);

        for (size_t i = 0; i < windows.size(); ++i)
        {
            const auto column = static_cast<size_t> (i * static_cast<size_t> (columns) / windows.size());
            auto& m = merged[column];
            const auto& w = windows[i];
            m.inputPeak = std::max (m.inputPeak, w.inputPeak);
            m.outputPeak = std::max (m.outputPeak, w.outputPeak);
            m.reductionDb = std::max (m.reductionDb, w.reductionDb);
            inPower[column] += static_cast<double> (w.inputRms) * w.inputRms;
            outPower[column] += static_cast<double> (w.outputRms) * w.outputRms;
            ++counts[column];
        }

        for (size_t c = 0; c < merged.size(); ++c)
            if (counts[c] > 0)
            {
                merged[c].inputRms = static_cast<float> (std::sqrt (inPower[c] / counts[c]));
                merged[c].outputRms = static_cast<float> (std::sqrt (outPower[c] / counts[c]));
            }

        return merged;
    }

    struct Panel
    {
        juce::Rectangle<float> area;
        float top; // value at the top edge
        float bottom; // value at the bottom edge

        float yFor (float value) const
        {
            const float v = juce::jlimit (std::min (top, bottom), std::max (top, bottom), value);
            return area.getY() + (top - v) / (top - bottom) * area.getHeight();
        }
    };

    float levelDb (float linear)
    {
        const float dB = toDecibels (linear);
        return std::isfinite (dB) ? dB : kFloorDb - 1.0f;
    }

    // A filled area from the panel's bottom up to the curve, and the curve on its own.
    void drawCurve (juce::Graphics& g, const Panel& panel, const std::vector<float>& xs, const std::vector<float>& values,
                    float baseline, juce::Colour colour, float fillAlpha, float lineWidth)
    {
        if (values.empty())
            return;

        juce::Path line, area;
        const float baseY = panel.yFor (baseline);
        area.startNewSubPath (xs.front(), baseY);

        for (size_t i = 0; i < values.size(); ++i)
        {
            const float y = panel.yFor (values[i]);
            if (i == 0)
                line.startNewSubPath (xs[i], y);
            else
                line.lineTo (xs[i], y);
            area.lineTo (xs[i], y);
        }

        area.lineTo (xs.back(), baseY);
        area.closeSubPath();

        if (fillAlpha > 0.0f)
        {
            g.setColour (colour.withAlpha (fillAlpha));
            g.fillPath (area);
        }

        if (lineWidth > 0.0f)
        {
            g.setColour (colour);
            g.strokePath (line, juce::PathStrokeType (lineWidth, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        }
    }

    void drawValueAxis (juce::Graphics& g, const Panel& panel, double step, const juce::String& title, bool highlightZero)
    {
        const float lo = std::min (panel.top, panel.bottom);
        const float hi = std::max (panel.top, panel.bottom);
        g.setFont (juce::Font (12.0f));

        for (double v = std::ceil (lo / step) * step; v <= hi + 1.0e-6; v += step)
        {
            const float y = panel.yFor (static_cast<float> (v));
            const bool zero = std::abs (v) < 1.0e-9;
            g.setColour (zero && highlightZero ? kAxis : kGrid);
            g.drawHorizontalLine (juce::roundToInt (y), panel.area.getX(), panel.area.getRight());
            g.setColour (kTextDim);
            g.drawText (tickLabel (v, step), juce::Rectangle<float> (panel.area.getX() - 44.0f, y - 8.0f, 38.0f, 16.0f),
                        juce::Justification::centredRight);
        }

        // The unit, turned to run up the left edge.
        g.setColour (kText);
        g.setFont (juce::Font (12.0f, juce::Font::bold));
        const auto centre = juce::Point<float> (panel.area.getX() - 54.0f, panel.area.getCentreY());
        g.saveState();
        g.addTransform (juce::AffineTransform::rotation (-juce::MathConstants<float>::halfPi, centre.x, centre.y));
        g.drawText (title, juce::Rectangle<float> (centre.x - 80.0f, centre.y - 8.0f, 160.0f, 16.0f), juce::Justification::centred);
        g.restoreState();
    }

    void drawLegend (juce::Graphics& g, juce::Rectangle<float> area)
    {
        struct Entry
        {
            juce::Colour colour;
            const char* text;
            bool area;
        };

        const Entry entries[] = {
            { kInput, "Input", false },
            { kOutput, "Output", false },
            { kReduction, "Gain reduction", true },
        };

        g.setFont (juce::Font (13.0f));
        float x = area.getRight();

        for (int i = static_cast<int> (std::size (entries)) - 1; i >= 0; --i)
        {
            const auto& entry = entries[i];
            const float textWidth = g.getCurrentFont().getStringWidthFloat (entry.text);
            x -= textWidth;
            g.setColour (kText);
            g.drawText (entry.text, juce::Rectangle<float> (x, area.getY(), textWidth + 2.0f, area.getHeight()),
                        juce::Justification::centredLeft);

            const auto swatch = juce::Rectangle<float> (x - 32.0f, area.getCentreY() - 7.0f, 26.0f, 14.0f);
            g.setColour (entry.colour);

            if (entry.area)
            {
                g.setColour (entry.colour.withAlpha (0.45f));
                g.fillRect (swatch.withTrimmedTop (4.0f));
                g.setColour (entry.colour);
                g.drawLine (swatch.getX(), swatch.getY() + 4.0f, swatch.getRight(), swatch.getY() + 4.0f, 1.4f);
            }
            else
            {
                g.drawLine (swatch.getX(), swatch.getY() + 3.0f, swatch.getRight(), swatch.getY() + 3.0f, 1.0f);
                g.drawLine (swatch.getX(), swatch.getBottom() - 3.0f, swatch.getRight(), swatch.getBottom() - 3.0f, 2.6f);
            }

            x = swatch.getX() - 22.0f;
        }

        g.setFont (juce::Font (11.5f));
        g.setColour (kTextDim);
        g.drawText ("thin line: peak, thick line: RMS, per 50 ms",
                    juce::Rectangle<float> (area.getX() - 100.0f, area.getBottom() + 1.0f, area.getWidth() + 100.0f, 16.0f),
                    juce::Justification::centredRight);
    }
} // namespace

juce::Image drawLevelPlot (const LevelAnalysis& analysis, const PlotCaption& caption, int width, int height)
{
    juce::Image image (juce::Image::RGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (kBackground);

    const auto bounds = juce::Rectangle<float> (0.0f, 0.0f, static_cast<float> (width), static_cast<float> (height));
    const float left = 76.0f;
    const float right = bounds.getRight() - 24.0f;
    const float headerBottom = 62.0f;
    const float timeAxisHeight = 44.0f;
    const float gap = 22.0f;
    const float plotsHeight = bounds.getBottom() - timeAxisHeight - headerBottom;
    const float levelHeight = std::round ((plotsHeight - gap) * 0.72f);
    const auto levelArea = juce::Rectangle<float> (left, headerBottom, right - left, levelHeight);
    const auto reductionArea = juce::Rectangle<float> (left, levelArea.getBottom() + gap, right - left, plotsHeight - gap - levelHeight);

    // Header: title, subtitle, legend.
    g.setColour (kText);
    g.setFont (juce::Font (17.0f, juce::Font::bold));
    g.drawText (caption.title, juce::Rectangle<float> (left, 10.0f, right - left - 360.0f, 22.0f), juce::Justification::centredLeft, true);
    g.setColour (kTextDim);
    g.setFont (juce::Font (13.0f));
    g.drawText (caption.subtitle, juce::Rectangle<float> (left, 33.0f, right - left - 360.0f, 18.0f), juce::Justification::centredLeft, true);
    drawLegend (g, juce::Rectangle<float> (right - 360.0f, 12.0f, 360.0f, 20.0f));

    const auto columns = toColumns (analysis.windows(), static_cast<int> (levelArea.getWidth()));
    const double seconds = analysis.sampleRate() > 0.0 ? static_cast<double> (analysis.numSamples()) / analysis.sampleRate() : 0.0;

    // Ranges: levels from -60 dBFS to 0 (or higher when the output goes over), reduction from 0 down.
    float loudest = std::max (analysis.inputPeak(), analysis.outputPeak());
    const float topDb = juce::jlimit (0.0f, 24.0f, std::ceil (std::max (0.0f, levelDb (loudest)) / 6.0f) * 6.0f);
    const Panel levels { levelArea, topDb, kFloorDb };

    float reductionRange = 6.0f;
    for (float candidate : { 6.0f, 12.0f, 18.0f, 24.0f, 36.0f, 48.0f, 60.0f })
    {
        reductionRange = candidate;
        if (analysis.maxReductionDb() <= candidate)
            break;
    }
    const Panel reduction { reductionArea, 0.0f, -reductionRange };

    g.setColour (kPanel);
    g.fillRect (levelArea);
    g.fillRect (reductionArea);

    // Time grid across both panels, labels under the lower one.
    const double timeStep = niceStep (std::max (seconds, 1.0e-3), 12.0);
    g.setFont (juce::Font (12.0f));
    for (double t = 0.0; t <= seconds + 1.0e-9 && seconds > 0.0; t += timeStep)
    {
        const float x = left + static_cast<float> (t / seconds) * levelArea.getWidth();
        g.setColour (kGrid);
        g.drawVerticalLine (juce::roundToInt (x), levelArea.getY(), levelArea.getBottom());
        g.drawVerticalLine (juce::roundToInt (x), reductionArea.getY(), reductionArea.getBottom());
        g.setColour (kTextDim);
        g.drawText (tickLabel (t, timeStep), juce::Rectangle<float> (x - 30.0f, reductionArea.getBottom() + 4.0f, 60.0f, 16.0f),
                    juce::Justification::centred);
    }
    g.setColour (kText);
    g.setFont (juce::Font (12.0f, juce::Font::bold));
    g.drawText ("time (s)", juce::Rectangle<float> (left, reductionArea.getBottom() + 22.0f, levelArea.getWidth(), 16.0f),
                juce::Justification::centred);

    drawValueAxis (g, levels, levels.top - levels.bottom > 48.0f ? 12.0 : 6.0, "level (dBFS)", true);
    drawValueAxis (g, reduction, reductionRange > 24.0f ? 12.0 : (reductionRange > 12.0f ? 6.0 : 3.0), "GR (dB)", false);

    // Curves: one point per column, at the column's centre in time.
    std::vector<float> xs, inPeak, inRms, outPeak, outRms, gr;
    const double columnSeconds = columns.empty() ? 0.0 : seconds / static_cast<double> (columns.size());
    for (size_t i = 0; i < columns.size(); ++i)
    {
        const double t = (static_cast<double> (i) + 0.5) * columnSeconds;
        xs.push_back (left + static_cast<float> (t / seconds) * levelArea.getWidth());
        inPeak.push_back (levelDb (columns[i].inputPeak));
        inRms.push_back (levelDb (columns[i].inputRms));
        outPeak.push_back (levelDb (columns[i].outputPeak));
        outRms.push_back (levelDb (columns[i].outputRms));
        gr.push_back (-columns[i].reductionDb);
    }

    {
        juce::Graphics::ScopedSaveState clip (g);
        g.reduceClipRegion (levelArea.toNearestInt());
        // A faint area under the input's peaks gives the picture its body; the
        // four curves on top stay apart by colour (signal) and weight (peak or RMS).
        drawCurve (g, levels, xs, inPeak, kFloorDb - 1.0f, kInput, 0.10f, 0.0f);
        drawCurve (g, levels, xs, inPeak, kFloorDb - 1.0f, kInput, 0.0f, 1.0f);
        drawCurve (g, levels, xs, outPeak, kFloorDb - 1.0f, kOutput, 0.0f, 1.0f);
        drawCurve (g, levels, xs, inRms, kFloorDb - 1.0f, kInput, 0.0f, 2.6f);
        drawCurve (g, levels, xs, outRms, kFloorDb - 1.0f, kOutput, 0.0f, 2.6f);
    }
    {
        juce::Graphics::ScopedSaveState clip (g);
        g.reduceClipRegion (reductionArea.toNearestInt());
        drawCurve (g, reduction, xs, gr, 0.0f, kReduction, 0.45f, 1.4f);
    }

    g.setColour (kAxis);
    g.drawRect (levelArea, 1.0f);
    g.drawRect (reductionArea, 1.0f);

    if (columns.empty())
    {
        g.setColour (kTextDim);
        g.setFont (juce::Font (15.0f));
        g.drawText ("(the input holds no samples)", levelArea, juce::Justification::centred);
    }

    return image;
}

Status writePng (const juce::Image& image, const PendingFile& file)
{
    Status status;
    auto stream = file.openStream (status);
    if (stream == nullptr)
        return status;

    juce::PNGImageFormat png;
    if (! png.writeImageToStream (image, *stream))
        return Status::io ("cannot write '" + file.target().getFullPathName() + "' as PNG");

    stream->flush();
    if (stream->getStatus().failed())
        return Status::io ("cannot write '" + file.target().getFullPathName() + "': " + stream->getStatus().getErrorMessage());

    return Status::success();
}

} // namespace vrender
