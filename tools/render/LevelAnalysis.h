#pragma once

// Levels of the input and the output and the compressor's gain reduction, over
// the whole file and in short windows for the plot.

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

namespace vrender
{

/** One window of the plot. Levels are linear (peak and RMS over all channels), gain reduction in dB. */
struct LevelWindow
{
    float inputPeak = 0.0f;
    float inputRms = 0.0f;
    float outputPeak = 0.0f;
    float outputRms = 0.0f;
    float reductionDb = 0.0f;
};

class LevelAnalysis
{
public:
    LevelAnalysis (double sampleRate, double windowSeconds = 0.05);

    /** Adds one processed block: the input, the output, and the largest gain reduction during it. */
    void addBlock (const juce::AudioBuffer<float>& input, const juce::AudioBuffer<float>& output, int numSamples,
                   float reductionDb);

    /** Closes the last, partly filled window. */
    void finish();

    double sampleRate() const noexcept { return rate; }
    int windowLength() const noexcept { return windowSamples; }
    const std::vector<LevelWindow>& windows() const noexcept { return done; }

    juce::int64 numSamples() const noexcept { return samples; }
    float inputPeak() const noexcept { return inPeak; }
    float outputPeak() const noexcept { return outPeak; }
    float inputRms() const noexcept;
    float outputRms() const noexcept;
    float maxReductionDb() const noexcept { return maxReduction; }
    /** The time-weighted mean of the per-block gain reduction. */
    float averageReductionDb() const noexcept;

private:
    void closeWindow();

    double rate;
    int windowSamples;
    std::vector<LevelWindow> done;

    // The window being filled.
    LevelWindow current;
    double currentInSquares = 0.0, currentOutSquares = 0.0;
    int currentSamples = 0;
    int currentValues = 0;

    // Whole file.
    juce::int64 samples = 0;
    juce::int64 values = 0;
    float inPeak = 0.0f, outPeak = 0.0f;
    double inSquares = 0.0, outSquares = 0.0;
    float maxReduction = 0.0f;
    double reductionSum = 0.0;
};

/** 20 log10 of a linear level; -inf for 0. */
float toDecibels (float linear) noexcept;

} // namespace vrender
