#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

namespace zep
{

/** A copy of the input delayed by the product's latency, so that the bypass
    crossfade lines up with the product's output. One circular line per channel,
    all sharing one write position. */
struct DryPath
{
    int channelCount = 2;
    int delaySamples = 0;
    int length = 8;
    int writeIndex = 0;
    std::vector<std::vector<float>> lines;

    /** Sizes the lines for a delay and a block size (at least 1) and clears them. */
    void prepare (int numChannels, int latency, int blockSize);

    /** Silences every line and restarts at position 0; memory stays allocated. */
    void clear() noexcept;

    /** Writes numSamples of each input channel and reads the delayed signal into
        `dry`. Channels without a line (before the first prepare, or beyond the
        prepared count) are not copied. */
    void process (const juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& dry, int numSamples) noexcept;
};

} // namespace zep
