// The whole processor block as a host runs it: zep::Processor with the
// compressor, 48 kHz, 512-frame stereo blocks, driven into about 10 dB of gain
// reduction by the "Drums / Vantrel" preset.
//
//   engine time:   build/bench/processor_bench
//   instructions:  valgrind --tool=callgrind --toggle-collect='*runFixed*' \
//                      build/bench/processor_bench --callgrind
//                  (instructions per frame = the collected total / kFixedFrames; scripts/bench.sh does this)

#include "shell/Processor.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace
{
constexpr double kRate = 48000.0;
constexpr int kBlock = 512;

// A kick-and-noise loop around -6 dBFS: enough level for steady compression.
juce::AudioBuffer<float> testSignal (int samples)
{
    juce::AudioBuffer<float> buffer (2, samples);
    juce::Random random (3);
    for (int s = 0; s < samples; ++s)
    {
        const double t = s / kRate;
        const double beat = std::fmod (t, 0.25);
        const float kick = static_cast<float> (0.5 * std::exp (-beat * 12.0) * std::sin (2.0 * juce::MathConstants<double>::pi * 60.0 * t));
        buffer.setSample (0, s, kick + 0.05f * (random.nextFloat() * 2.0f - 1.0f));
        buffer.setSample (1, s, kick + 0.05f * (random.nextFloat() * 2.0f - 1.0f));
    }
    return buffer;
}

struct Rig
{
    Rig()
    {
        processor.setCurrentProgram (3);
        processor.prepareToPlay (kRate, kBlock);
    }

    void run (juce::AudioBuffer<float>& source, int blocks)
    {
        for (int b = 0; b < blocks; ++b)
        {
            const int offset = (b * kBlock) % (source.getNumSamples() - kBlock);
            for (int c = 0; c < 2; ++c)
                std::memcpy (block.getWritePointer (c), source.getReadPointer (c, offset), sizeof (float) * kBlock);
            processor.processBlock (block, midi);
        }
    }

    juce::ScopedJuceInitialiser_GUI juce;
    zep::Processor processor;
    juce::AudioBuffer<float> block { 2, kBlock };
    juce::MidiBuffer midi;
};

void processorBlock (benchmark::State& state)
{
    Rig rig;
    auto source = testSignal (static_cast<int> (kRate));
    rig.run (source, 100); // settle the envelopes

    for (auto _ : state)
    {
        rig.run (source, 1);
        benchmark::DoNotOptimize (rig.block.getReadPointer (0)[0]);
    }

    const double frames = static_cast<double> (state.iterations()) * kBlock;
    // Printed as times: CPU time per stereo frame, and CPU time per second of
    // 48 kHz audio (e.g. 4.2 ms means 0.42 % of real time).
    state.counters["per_frame"] = benchmark::Counter (frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["per_audio_second"] = benchmark::Counter (frames / kRate, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK (processorBlock)->Unit (benchmark::kMicrosecond);

constexpr int kFixedFrames = 96000;

// The fixed amount of work that callgrind counts (kept out of line so that it
// can be selected by name).
__attribute__ ((noinline)) void runFixed (Rig& rig, juce::AudioBuffer<float>& source)
{
    rig.run (source, kFixedFrames / kBlock);
}
} // namespace

int main (int argc, char** argv)
{
    if (argc == 2 && std::strcmp (argv[1], "--callgrind") == 0)
    {
        Rig rig;
        auto source = testSignal (static_cast<int> (kRate));
        rig.run (source, 100); // settle the envelopes, as the timed benchmark does
        runFixed (rig, source);
        std::printf ("%d frames\n", kFixedFrames);
        return 0;
    }

    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
