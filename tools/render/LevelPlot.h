#pragma once

// The --plot picture: input and output level (peak line, RMS area) in dBFS on
// top, the gain reduction in dB below, both over time in seconds.

#include "tools/render/AudioFiles.h"
#include "tools/render/LevelAnalysis.h"
#include "tools/render/Status.h"

#include <juce_graphics/juce_graphics.h>

namespace vrender
{

struct PlotCaption
{
    juce::String title;
    juce::String subtitle;
};

inline constexpr int kPlotWidth = 1200;
inline constexpr int kPlotHeight = 500;

/** Draws the analysis; needs no display (a juce::ScopedJuceInitialiser_GUI must exist for the fonts). */
juce::Image drawLevelPlot (const LevelAnalysis& analysis, const PlotCaption& caption,
                           int width = kPlotWidth, int height = kPlotHeight);

/** Encodes the image as PNG into the pending file's temporary file. */
Status writePng (const juce::Image& image, const PendingFile& file);

} // namespace vrender
