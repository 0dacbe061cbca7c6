// Benchmarks of the compressor engine alone: stereo, 48 kHz, settings as the
// product writes them, driven into about 10 dB of gain reduction by a
// programme-like signal peaking at -13 dBFS with +12 dB of input gain, ratio "4"
// (and "ALL" for the third case), processed in 32-sample calls like the
// product does. Reported: ns per stereo frame and the share of real time at
// 48 kHz, plus the average applied reduction as a check of the operating point.
//
//   g++ -std=c++17 -O3 -DNDEBUG -I. product/engine/*.cpp bench/EngineBench.cpp -lbenchmark -lpthread -o /tmp/engine_bench
//   /tmp/engine_bench
//
// Instructions per frame: the --callgrind mode processes a fixed 48000 frames
// once in runFixed(); count only that function and divide Ir by 48000:
//
//   valgrind --tool=callgrind --callgrind-out-file=/tmp/cg.out --toggle-collect='*runFixed*' /tmp/engine_bench --callgrind colour
//   callgrind_annotate /tmp/cg.out | head -20        (voicing: colour, clean or all)

#include "product/engine/FetCompressor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace
{

constexpr double kFs = 48000.0;
constexpr int kCall = 32;       // the product's sub-block length
constexpr int kSignalFrames = 48000;

enum class Voicing { colour, clean, all };

// The product's mapping for fetInput +12 dB, fetOutput 0 dB, attack and
// release at 4, mix 1, and ratio "4" (or "ALL").
vt::FetCompressor makeEngine(Voicing voicing)
{
    const bool all = (voicing == Voicing::all);
    const bool clean = (voicing == Voicing::clean);
    vt::FetCompressor e;
    e.sampleRate = kFs;
    e.numChannels = 2;
    vt::computeCoefficients(e, kFs);
    vt::resetState(e);

    e.inGainTarget = std::exp(12.0f * 0.115129255f);
    e.outGainTarget = 1.0f;
    e.wetTarget = 1.0f;
    e.ratioIndex = all ? 4 : 0;
    e.colour = clean ? 0 : 1;
    const float attackSeconds = 0.0008f * std::exp((3.0f / 6.0f) * -3.68887949f);
    const float releaseSeconds = 1.1f * std::exp((3.0f / 6.0f) * -3.09104252f);
    e.attackCoef = (float) std::exp(-1.0 / ((all ? 20.0 : 1.0) * (double) attackSeconds * kFs));
    e.releaseSeconds = releaseSeconds * (all ? 0.3f : 1.0f);
    e.grSmoothCoef = (float) std::exp(-1.0 / ((double) attackSeconds * 8.0 * (all ? 1.6 : 1.0) * kFs));
    e.slope = all ? 24.0f : 3.0f;
    e.kneeDb = all ? 3.0f : 8.0f;
    e.thresholdDb = all ? -23.0f : -20.0f;
    e.drive = (all ? 3.0f : 1.0f) * (clean ? 1.0f : 1.5f);
    e.inGain = e.inGainTarget;
    e.outGain = e.outGainTarget;
    e.wet = e.wetTarget;
    e.snapSmoothing = false;
    return e;
}

// One second of a programme-like stereo signal peaking at -13 dBFS (RMS
// about -22 dBFS): a bass tone, a mid tone and noise under a slow swell. With
// +12 dB of input gain and ratio "4" the colour voicing settles at about
// 10 dB of average reduction.
std::vector<float> makeSignal(int channel)
{
    std::vector<float> out(kSignalFrames);
    uint32_t seed = 1234567u + 7919u * (uint32_t) channel;
    const double peak = std::pow(10.0, -13.0 / 20.0);
    for (int i = 0; i < kSignalFrames; ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        const double t = i / kFs;
        const double noise = ((double) (seed >> 8) / 16777216.0) * 2.0 - 1.0;
        const double swell = 0.75 + 0.25 * std::sin(6.283185307179586 * 2.0 * t + channel);
        const double s = 0.5 * std::sin(6.283185307179586 * (55.0 + 7.0 * channel) * t)
                       + 0.35 * std::sin(6.283185307179586 * (880.0 + 40.0 * channel) * t)
                       + 0.15 * noise;
        out[(size_t) i] = (float) (peak * swell * s);
    }
    return out;
}

struct Runner
{
    vt::FetCompressor engine;
    std::vector<float> source[2];
    float block[2][kCall];
    int position = 0;
    double grSum = 0.0;
    long grCount = 0;

    explicit Runner(Voicing v) : engine(makeEngine(v)), source{makeSignal(0), makeSignal(1)}
    {
        // Settle the envelopes before anything is measured.
        for (int i = 0; i < kSignalFrames / kCall; ++i)
            call();
        grSum = 0.0;
        grCount = 0;
    }

    // One product-sized call: copy 32 frames of the source and process them in place.
    void call()
    {
        std::memcpy(block[0], source[0].data() + position, sizeof block[0]);
        std::memcpy(block[1], source[1].data() + position, sizeof block[1]);
        float* ch[2] = {block[0], block[1]};
        engine.process(ch, 2, kCall);
        grSum += engine.grDb;
        ++grCount;
        position += kCall;
        if (position + kCall > kSignalFrames)
            position = 0;
    }
};

// CPU time of this thread, the clock the per-frame figure is based on too.
double threadSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return (double) ts.tv_sec + 1e-9 * (double) ts.tv_nsec;
}

void benchEngine(benchmark::State& state, Voicing voicing)
{
    Runner runner(voicing);
    constexpr int kCallsPerIteration = 32; // 1024 frames
    const double start = threadSeconds();
    for (auto _ : state)
    {
        for (int i = 0; i < kCallsPerIteration; ++i)
            runner.call();
        benchmark::DoNotOptimize(runner.block[0][0]);
        benchmark::DoNotOptimize(runner.block[1][0]);
    }
    const double elapsed = threadSeconds() - start;
    const double frames = (double) kCallsPerIteration * kCall;
    // Time per stereo frame (an inverted rate, printed as e.g. "72ns").
    state.counters["per_frame"] = benchmark::Counter(
        frames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    // Percent of real time at 48 kHz: processing (CPU) time over audio time.
    const double audioSeconds = (double) state.iterations() * frames / kFs;
    state.counters["realtime_pct"] = audioSeconds > 0.0 ? 100.0 * elapsed / audioSeconds : 0.0;
    state.counters["avg_gr_dB"] = runner.grSum / (double) std::max(1L, runner.grCount);
    state.SetItemsProcessed((int64_t) state.iterations() * (int64_t) frames);
}

void BM_EngineColour(benchmark::State& state) { benchEngine(state, Voicing::colour); }
void BM_EngineClean(benchmark::State& state) { benchEngine(state, Voicing::clean); }
void BM_EngineAll(benchmark::State& state) { benchEngine(state, Voicing::all); }

} // namespace

BENCHMARK(BM_EngineColour);
BENCHMARK(BM_EngineClean);
BENCHMARK(BM_EngineAll);

// Processes exactly 48000 frames (1500 calls) once; the only function that
// callgrind counts in --callgrind mode.
namespace
{
__attribute__((noinline)) void runFixed(Runner& runner)
{
    for (int i = 0; i < kSignalFrames / kCall; ++i)
        runner.call();
}
} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--callgrind") == 0)
    {
        Voicing v = Voicing::colour;
        if (argc >= 3 && std::strcmp(argv[2], "clean") == 0)
            v = Voicing::clean;
        else if (argc >= 3 && std::strcmp(argv[2], "all") == 0)
            v = Voicing::all;
        Runner runner(v);
        runFixed(runner);
        std::printf("processed %d frames, average reduction %.2f dB\n", kSignalFrames,
                    runner.grSum / (double) runner.grCount);
        return 0;
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
