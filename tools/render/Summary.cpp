#include "tools/render/Summary.h"

#include <cmath>

namespace vrender
{

juce::String formatDecibels (float linear)
{
    const float dB = toDecibels (linear);
    return std::isfinite (dB) ? juce::String (dB, 1) : juce::String ("-inf");
}

juce::String formatSummary (const Options& options, const RenderReport& report)
{
    const double seconds = report.sampleRate > 0.0 ? static_cast<double> (report.numSamples) / report.sampleRate : 0.0;
    auto row = [] (const char* label, const juce::String& value) { return juce::String (label).paddedRight (' ', 16) + value + "\n"; };

    juce::String text;
    text << row ("input", options.input.getFullPathName());
    text << row ("output", options.output.getFullPathName() + "  (" + fileTypeName (report.outputType) + ", "
                               + sampleFormatName (report.outputType, report.bits) + ")");
    text << row ("settings", report.settingsDescription);
    text << row ("duration", juce::String (seconds, 3) + " s  (" + juce::String (report.numSamples) + " samples, "
                                 + juce::String (report.sampleRate, 0) + " Hz, "
                                 + (report.numChannels == 1 ? "mono" : "stereo") + ", block "
                                 + juce::String (options.blockSize) + ")");

    if (report.analysis)
    {
        const auto& a = *report.analysis;
        text << row ("input level", "peak " + formatDecibels (a.inputPeak()) + " dBFS, RMS " + formatDecibels (a.inputRms()) + " dBFS");
        text << row ("output level", "peak " + formatDecibels (a.outputPeak()) + " dBFS, RMS " + formatDecibels (a.outputRms()) + " dBFS");
        text << row ("gain reduction", "max " + juce::String (a.maxReductionDb(), 1) + " dB, average "
                                           + juce::String (a.averageReductionDb(), 1) + " dB");

        if (a.outputPeak() > 1.0f && report.bits != 32)
            text << row ("note", "the output peaks above 0 dBFS and was clipped in the "
                                     + sampleFormatName (report.outputType, report.bits) + " file; use --bits 32f (WAV) or lower fetOutput");
    }

    if (options.plot != juce::File())
        text << row ("plot", options.plot.getFullPathName());
    if (options.stateOut != juce::File())
        text << row ("saved state", options.stateOut.getFullPathName());

    return text;
}

ProgressBar::ProgressBar (std::FILE* s, double minimum)
    : stream (s), minimumSeconds (minimum)
{
}

ProgressBar::~ProgressBar()
{
    if (shown)
    {
        std::fputs ("\r\033[K", stream); // clear the bar's line
        std::fflush (stream);
    }
}

void ProgressBar::update (juce::int64 done, juce::int64 total, double sampleRate)
{
    if (total <= 0 || sampleRate <= 0.0 || static_cast<double> (total) / sampleRate <= minimumSeconds)
        return;

    const int percent = static_cast<int> (100 * done / total);
    if (percent == lastPercent)
        return;

    lastPercent = percent;
    shown = true;

    constexpr int width = 40;
    const int filled = percent * width / 100;
    std::fprintf (stream, "\rrendering [%s%s] %3d%%  %.0f / %.0f s",
                  juce::String::repeatedString ("#", filled).toRawUTF8(),
                  juce::String::repeatedString ("-", width - filled).toRawUTF8(), percent,
                  static_cast<double> (done) / sampleRate, static_cast<double> (total) / sampleRate);
    std::fflush (stream);
}

} // namespace vrender
