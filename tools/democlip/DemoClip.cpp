// vantrel-democlip: writes a short synthesised drum loop (kick, snare, hats) with a
// bass line, stereo 48 kHz 24-bit WAV, as material for demonstrating the compressor.
// Everything is computed from fixed seeds, so the clip is the same on every run.

#include "tools/render/AudioFiles.h"
#include "tools/render/Options.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <cstdio>

namespace
{
constexpr double kRate = 48000.0;
constexpr double kTempo = 120.0;
constexpr double kStep = 60.0 / kTempo / 4.0; // a sixteenth note in seconds
constexpr double kTwoPi = juce::MathConstants<double>::twoPi;

struct Stereo
{
    std::vector<float> left, right;

    explicit Stereo (size_t n) : left (n, 0.0f), right (n, 0.0f) {}

    void add (size_t i, double value, double pan) // pan 0 = left, 1 = right, equal power
    {
        if (i >= left.size())
            return;
        left[i] += static_cast<float> (value * std::cos (pan * kTwoPi / 4.0));
        right[i] += static_cast<float> (value * std::sin (pan * kTwoPi / 4.0));
    }
};

size_t sampleAt (double seconds) { return static_cast<size_t> (std::lround (seconds * kRate)); }

void kick (Stereo& mix, double start, double gain)
{
    double phase = 0.0;
    const size_t first = sampleAt (start);
    for (size_t n = 0; n < sampleAt (0.5); ++n)
    {
        const double t = n / kRate;
        const double frequency = 46.0 + 120.0 * std::exp (-t * 32.0); // the pitch drop gives the thump
        phase += kTwoPi * frequency / kRate;
        const double body = std::sin (phase) * std::exp (-t * 6.5);
        const double click = t < 0.004 ? 0.35 * (1.0 - t / 0.004) : 0.0;
        mix.add (first + n, gain * (body + click), 0.5);
    }
}

void snare (Stereo& mix, juce::Random& random, double start, double gain)
{
    double previousL = 0.0, previousR = 0.0;
    const size_t first = sampleAt (start);
    for (size_t n = 0; n < sampleAt (0.35); ++n)
    {
        const double t = n / kRate;
        const double tone = 0.45 * std::sin (kTwoPi * 185.0 * t) * std::exp (-t * 22.0);
        // First-difference noise: brighter than white, like the wires.
        const double whiteL = random.nextDouble() * 2.0 - 1.0;
        const double whiteR = 0.7 * whiteL + 0.3 * (random.nextDouble() * 2.0 - 1.0);
        const double envelope = 0.55 * std::exp (-t * 15.0);
        const double noiseL = (whiteL - previousL) * envelope;
        const double noiseR = (whiteR - previousR) * envelope;
        previousL = whiteL;
        previousR = whiteR;
        mix.add (first + n, gain * (tone + noiseL), 0.0);
        mix.add (first + n, gain * (tone + noiseR), 1.0);
    }
}

void hat (Stereo& mix, juce::Random& random, double start, double gain, double decay)
{
    double x1 = 0.0, x2 = 0.0;
    const size_t first = sampleAt (start);
    for (size_t n = 0; n < sampleAt (std::min (0.6, 6.0 / decay)); ++n)
    {
        const double t = n / kRate;
        const double white = random.nextDouble() * 2.0 - 1.0;
        const double high = white - 2.0 * x1 + x2; // second difference: only the sizzle is left
        x2 = x1;
        x1 = white;
        mix.add (first + n, gain * 0.25 * high * std::exp (-t * decay), 0.68);
    }
}

void bassNote (Stereo& mix, double start, double length, int midiNote, double gain)
{
    const double frequency = 440.0 * std::pow (2.0, (midiNote - 69) / 12.0);
    const double cutoff = 1.0 - std::exp (-kTwoPi * 520.0 / kRate);
    double phase = 0.0, low1 = 0.0, low2 = 0.0;
    const size_t first = sampleAt (start);
    const size_t count = sampleAt (length + 0.03);

    for (size_t n = 0; n < count; ++n)
    {
        const double t = n / kRate;
        phase += frequency / kRate;
        phase -= std::floor (phase);
        const double saw = 2.0 * phase - 1.0;
        const double square = phase < 0.5 ? 0.6 : -0.6;
        low1 += cutoff * ((saw + square) - low1);
        low2 += cutoff * (low1 - low2);

        const double attack = std::min (1.0, t / 0.004);
        const double body = 0.65 + 0.35 * std::exp (-t * 9.0);
        const double release = t > length ? std::max (0.0, 1.0 - (t - length) / 0.03) : 1.0;
        mix.add (first + n, gain * low2 * attack * body * release, 0.5);
    }
}

Stereo synthesise (double seconds)
{
    Stereo mix (sampleAt (seconds));
    juce::Random random (20240611);
    const int steps = static_cast<int> (seconds / kStep);

    // Bass: one root per bar (A, F, C, G), played in an eighth-and-sixteenth figure.
    const int roots[] = { 33, 29, 36, 31 };
    const struct { int step, length, interval; } figure[] = {
        { 0, 3, 0 }, { 3, 1, 12 }, { 6, 2, 0 }, { 8, 3, 0 }, { 11, 1, 7 }, { 14, 2, 12 },
    };

    for (int step = 0; step < steps; ++step)
    {
        const int bar = step / 16;
        const int beat = step % 16;
        const double t = step * kStep;
        // A little accent on the downbeats keeps the loop from sounding mechanical.
        const double accent = beat % 4 == 0 ? 1.0 : 0.8;

        if (beat == 0 || beat == 8 || (beat == 10 && bar % 2 == 1) || (beat == 14 && bar % 4 == 3))
            kick (mix, t, 0.85 * accent);

        if (beat == 4 || beat == 12)
            snare (mix, random, t, 0.7);

        if (beat % 2 == 0)
            hat (mix, random, t, 0.9 * accent, beat == 14 ? 8.0 : 55.0);

        for (const auto& note : figure)
            if (note.step == beat)
                bassNote (mix, t, note.length * kStep * 0.9, roots[bar % 4] + note.interval, 0.55);
    }

    // Leave headroom: peaks at -3 dBFS.
    float peak = 0.0f;
    for (size_t i = 0; i < mix.left.size(); ++i)
        peak = std::max ({ peak, std::abs (mix.left[i]), std::abs (mix.right[i]) });

    const float scale = peak > 0.0f ? 0.7079f / peak : 1.0f;
    for (size_t i = 0; i < mix.left.size(); ++i)
    {
        mix.left[i] *= scale;
        mix.right[i] *= scale;
    }

    return mix;
}

int fail (int code, const juce::String& message)
{
    std::fprintf (stderr, "vantrel-democlip: %s\n", message.toRawUTF8());
    return code;
}
} // namespace

int main (int argc, char* argv[])
{
    const juce::String usage = "usage: vantrel-democlip OUT.wav [--seconds S]  (S from 1 to 60, default 8)";
    juce::String outputName;
    double seconds = 8.0;

    for (int i = 1; i < argc; ++i)
    {
        const auto argument = juce::String::fromUTF8 (argv[i]);

        if (argument == "--help" || argument == "-h")
        {
            std::printf ("%s\nWrites a stereo 48 kHz 24-bit WAV drum loop with a bass line, 120 BPM.\n", usage.toRawUTF8());
            return 0;
        }

        if (argument == "--seconds")
        {
            if (i + 1 >= argc)
                return fail (vrender::kExitUsage, "--seconds needs a value");
            const auto value = juce::String::fromUTF8 (argv[++i]);
            if (! vrender::parseNumber (value, seconds) || seconds < 1.0 || seconds > 60.0)
                return fail (vrender::kExitUsage, "--seconds " + value + ": must be a number from 1 to 60");
        }
        else if (argument.startsWith ("-"))
            return fail (vrender::kExitUsage, "unknown option '" + argument + "'; " + usage);
        else if (outputName.isNotEmpty())
            return fail (vrender::kExitUsage, "unexpected argument '" + argument + "'; " + usage);
        else
            outputName = argument;
    }

    if (outputName.isEmpty())
        return fail (vrender::kExitUsage, usage);

    const auto output = juce::File::getCurrentWorkingDirectory().getChildFile (outputName);
    if (! output.hasFileExtension ("wav"))
        return fail (vrender::kExitUsage, "OUT '" + outputName + "': the clip is written as WAV; give it a .wav name");

    if (! output.getParentDirectory().isDirectory())
        return fail (vrender::kExitIo, "OUT '" + output.getFullPathName() + "': directory does not exist");

    const auto mix = synthesise (seconds);

    vrender::PendingFile file (output);
    vrender::Status status;
    auto writer = vrender::createAudioWriter (file, vrender::FileType::wav, kRate, 2, 24, status);
    if (writer == nullptr)
        return fail (status.exitCode, status.message);

    const float* channels[] = { mix.left.data(), mix.right.data() };
    const bool written = writer->writeFromFloatArrays (channels, 2, static_cast<int> (mix.left.size()));
    writer.reset();

    if (! written)
        return fail (vrender::kExitIo, "cannot write '" + output.getFullPathName() + "'");

    if (status = file.commit(); ! status.ok())
        return fail (status.exitCode, status.message);

    return 0;
}
