#include "tools/render/LevelAnalysis.h"

#include <cmath>
#include <limits>

namespace vrender
{

float toDecibels (float linear) noexcept
{
    return linear > 0.0f ? 20.0f * std::log10 (linear) : -std::numeric_limits<float>::infinity();
}

LevelAnalysis::LevelAnalysis (double sampleRate, double windowSeconds)
    : rate (sampleRate),
      windowSamples (std::max (1, static_cast<int> (std::lround (sampleRate * windowSeconds))))
{
}

void LevelAnalysis::addBlock (const juce::AudioBuffer<float>& input, const juce::AudioBuffer<float>& output,
                              int numSamples, float reductionDb)
{
    const int channels = std::min (input.getNumChannels(), output.getNumChannels());
    const float reduction = std::isfinite (reductionDb) ? std::max (0.0f, reductionDb) : 0.0f;

    maxReduction = std::max (maxReduction, reduction);
    reductionSum += static_cast<double> (reduction) * numSamples;
    samples += numSamples;

    int offset = 0;
    while (offset < numSamples)
    {
        const int length = std::min (numSamples - offset, windowSamples - currentSamples);

        for (int c = 0; c < channels; ++c)
        {
            const float* in = input.getReadPointer (c, offset);
            const float* out = output.getReadPointer (c, offset);

            for (int s = 0; s < length; ++s)
            {
                const float a = std::abs (in[s]);
                const float b = std::abs (out[s]);
                current.inputPeak = std::max (current.inputPeak, a);
                current.outputPeak = std::max (current.outputPeak, b);
                currentInSquares += static_cast<double> (in[s]) * in[s];
                currentOutSquares += static_cast<double> (out[s]) * out[s];
            }
        }

        // A window shows the largest reduction of any block that overlaps it.
        current.reductionDb = std::max (current.reductionDb, reduction);
        currentSamples += length;
        currentValues += length * channels;
        offset += length;

        if (currentSamples == windowSamples)
            closeWindow();
    }
}

void LevelAnalysis::finish()
{
    if (currentSamples > 0)
        closeWindow();
}

void LevelAnalysis::closeWindow()
{
    if (currentValues > 0)
    {
        current.inputRms = static_cast<float> (std::sqrt (currentInSquares / currentValues));
        current.outputRms = static_cast<float> (std::sqrt (currentOutSquares / currentValues));
    }

    inPeak = std::max (inPeak, current.inputPeak);
    outPeak = std::max (outPeak, current.outputPeak);
    inSquares += currentInSquares;
    outSquares += currentOutSquares;
    values += currentValues;

    done.push_back (current);
    current = {};
    currentInSquares = currentOutSquares = 0.0;
    currentSamples = currentValues = 0;
}

float LevelAnalysis::inputRms() const noexcept
{
    return values > 0 ? static_cast<float> (std::sqrt (inSquares / static_cast<double> (values))) : 0.0f;
}

float LevelAnalysis::outputRms() const noexcept
{
    return values > 0 ? static_cast<float> (std::sqrt (outSquares / static_cast<double> (values))) : 0.0f;
}

float LevelAnalysis::averageReductionDb() const noexcept
{
    return samples > 0 ? static_cast<float> (reductionSum / static_cast<double> (samples)) : 0.0f;
}

} // namespace vrender
