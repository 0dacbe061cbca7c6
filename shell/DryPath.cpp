#include "shell/DryPath.h"

#include <algorithm>

namespace zep
{

void DryPath::prepare (int numChannels, int latency, int blockSize)
{
    channelCount = numChannels;
    delaySamples = std::max (0, latency);
    length = std::max (8, delaySamples + std::max (1, blockSize) + 1);

    lines.resize (static_cast<size_t> (channelCount));
    for (auto& line : lines)
        line.assign (static_cast<size_t> (length), 0.0f);

    writeIndex = 0;
}

void DryPath::clear() noexcept
{
    for (auto& line : lines)
        std::fill (line.begin(), line.end(), 0.0f);

    writeIndex = 0;
}

void DryPath::process (const juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& dry, int numSamples) noexcept
{
    const int copied = std::min ({ input.getNumChannels(), channelCount, static_cast<int> (lines.size()) });
    const int firstRead = (writeIndex + length - delaySamples) % length;

    for (int c = 0; c < copied; ++c)
    {
        const float* in = input.getReadPointer (c);
        float* out = dry.getWritePointer (c);
        float* line = lines[static_cast<size_t> (c)].data();
        int write = writeIndex, read = firstRead;

        for (int s = 0; s < numSamples; ++s)
        {
            line[write] = in[s];
            out[s] = line[read];
            if (++write == length) write = 0;
            if (++read == length) read = 0;
        }
    }

    writeIndex = static_cast<int> ((static_cast<long long> (writeIndex) + numSamples) % length);
}

} // namespace zep
