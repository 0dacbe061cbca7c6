#pragma once

// What the renderer prints: the closing summary on stdout, and a progress bar on
// stderr for long files when stderr is a terminal.

#include "tools/render/Options.h"
#include "tools/render/Renderer.h"

#include <cstdio>

namespace vrender
{

/** Several lines: files, duration, levels in dBFS, gain reduction, settings. */
juce::String formatSummary (const Options& options, const RenderReport& report);

/** "-3.2" or "-inf" for a level in dBFS. */
juce::String formatDecibels (float linear);

/** A one-line bar redrawn in place, at most 100 times per render. Shown only for
    files longer than `minimumSeconds`. */
class ProgressBar
{
public:
    explicit ProgressBar (std::FILE* stream, double minimumSeconds = 10.0);
    ~ProgressBar();

    void update (juce::int64 done, juce::int64 total, double sampleRate);

private:
    std::FILE* stream;
    double minimumSeconds;
    int lastPercent = -1;
    bool shown = false;
};

} // namespace vrender
