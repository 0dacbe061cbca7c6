#pragma once

// One render: the input file through a fresh zep::Processor with the real
// compressor, block by block, into the output file (and the optional plot and
// saved state). Nothing at the output paths changes unless the whole render succeeds.

#include "tools/render/AudioFiles.h"
#include "tools/render/LevelAnalysis.h"
#include "tools/render/Options.h"
#include "tools/render/Status.h"

#include <functional>
#include <optional>

namespace vrender
{

struct RenderReport
{
    double sampleRate = 0.0;
    int numChannels = 0;
    juce::int64 numSamples = 0;
    FileType outputType = FileType::unknown;
    int bits = 0;
    /** What the processor was set to: program name, state file and --set's. */
    juce::String settingsDescription;
    std::optional<LevelAnalysis> analysis;
};

struct RenderResult
{
    Status status;
    RenderReport report;
};

/** Called after every block with the samples done so far and the total. */
using ProgressCallback = std::function<void (juce::int64 done, juce::int64 total, double sampleRate)>;

RenderResult renderFile (const Options& options, const ProgressCallback& progress = {});

/** Whether two paths name the same file (after resolving links and "..", or by
    device and inode when both exist). */
bool isSameFile (const juce::File& a, const juce::File& b);

} // namespace vrender
