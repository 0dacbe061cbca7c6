// Behaviour of the FET compressor engine: coefficients, reset, gain
// computer, feedback detector, envelopes, hiss gate, channel rules and
// recovery from non-finite input.

#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using enginetest::Controls;
using enginetest::bitsOf;
using enginetest::preparedEngine;
using enginetest::sameState;

namespace
{

// Runs the engine over whole buffers in product-sized calls of 32 samples.
void run(vt::FetCompressor& e, std::vector<float>& left, std::vector<float>* right = nullptr)
{
    const int total = (int) left.size();
    for (int offset = 0; offset < total; offset += 32)
    {
        float* ch[2] = {left.data() + offset, right ? right->data() + offset : nullptr};
        e.process(ch, right ? 2 : 1, std::min(32, total - offset));
    }
}

// Processes one mono sample and returns the output.
float step(vt::FetCompressor& e, float x)
{
    float* ch[1] = {&x};
    e.process(ch, 1, 1);
    return x;
}

double rmsDb(const std::vector<float>& v, size_t from)
{
    double sum = 0.0;
    for (size_t i = from; i < v.size(); ++i)
        sum += (double) v[i] * v[i];
    return 10.0 * std::log10(sum / (double) (v.size() - from));
}

} // namespace

// ---------------------------------------------------------------------------
// Prepare-time coefficients and reset

TEST(Coefficients, MatchTheReferenceValuesAt48k)
{
    vt::FetCompressor e;
    vt::computeCoefficients(e, 48000.0);
    EXPECT_EQ(e.smoothCoef, 0.99895889f);
    EXPECT_EQ(e.dcCoef, 0.99934572f);
    EXPECT_EQ(e.lp150Coef, 0.019443452f);
    EXPECT_EQ(e.lp120Coef, 0.015585244f);
    EXPECT_EQ(e.lp90Coef, 0.011711836f);
    EXPECT_EQ(e.noiseCoef, 0.79212046f);
    EXPECT_EQ(e.noiseScale, 6.7635803e-5f);
    EXPECT_EQ(e.gateCoef, 0.99930578f);
    EXPECT_EQ(e.holdSamples, 4800);

    vt::computeCoefficients(e, 44100.0);
    EXPECT_EQ(e.holdSamples, 4410);
}

TEST(Coefficients, HissBandwidthFollowsTheSampleRateBelow26667Hz)
{
    // Below 26.67 kHz the hiss band is 0.45 fs, so its coefficient no longer
    // depends on the rate: 1 - exp(-2 pi 0.45).
    vt::FetCompressor a, b;
    vt::computeCoefficients(a, 22050.0);
    vt::computeCoefficients(b, 16000.0);
    EXPECT_EQ(a.noiseCoef, b.noiseCoef);
    EXPECT_NEAR(a.noiseCoef, 1.0 - std::exp(-6.28318530717958 * 0.45), 1e-6);
    EXPECT_EQ(a.holdSamples, 2205);
}

TEST(Coefficients, TouchOnlyTheNinePrepareRows)
{
    vt::FetCompressor e = preparedEngine(44100.0, 2);
    e.envDb = 7.0f;
    e.sampleRate = 12345.0;
    vt::FetCompressor expected = e;
    vt::computeCoefficients(e, 96000.0);
    vt::FetCompressor atRate;
    vt::computeCoefficients(atRate, 96000.0);
    expected.smoothCoef = atRate.smoothCoef;
    expected.dcCoef = atRate.dcCoef;
    expected.lp150Coef = atRate.lp150Coef;
    expected.lp120Coef = atRate.lp120Coef;
    expected.lp90Coef = atRate.lp90Coef;
    expected.noiseCoef = atRate.noiseCoef;
    expected.noiseScale = atRate.noiseScale;
    expected.gateCoef = atRate.gateCoef;
    expected.holdSamples = atRate.holdSamples;
    EXPECT_TRUE(sameState(e, expected));
}

TEST(Reset, ClearsTheAudioStateAndNothingElse)
{
    vt::FetCompressor e = preparedEngine(48000.0, 2, Controls{6.0f, -3.0f, 2.0f, 5.0f, 2, 0.7f, false});
    e.inGain = 0.3f;
    e.outGain = 0.4f;
    e.wet = 0.5f;
    e.snapSmoothing = false;
    vt::FetCompressor expected = e;

    // Dirty every row the reset owns.
    e.grDb = e.envDb = e.compressSeconds = e.gateEnv = 3.0f;
    for (int c = 0; c < 2; ++c)
    {
        e.satPrev[c] = e.dcState[c] = e.lowGritIn[c] = e.lowGritOut[c] = 0.25f;
        e.detectorLp[c] = e.noiseLp[c] = -0.5f;
        e.noiseSeed[c] = 42u;
    }
    e.silentSamples = 17;

    vt::resetState(e);

    expected.grDb = expected.envDb = expected.compressSeconds = expected.gateEnv = 0.0f;
    for (int c = 0; c < 2; ++c)
        expected.satPrev[c] = expected.dcState[c] = expected.lowGritIn[c] = expected.lowGritOut[c]
            = expected.detectorLp[c] = expected.noiseLp[c] = 0.0f;
    expected.silentSamples = 0x40000000;
    expected.noiseSeed[0] = 0x9E3779B9u;
    expected.noiseSeed[1] = 0x7F4A7C15u;
    expected.snapSmoothing = true;
    EXPECT_TRUE(sameState(e, expected));
}

// ---------------------------------------------------------------------------
// Gain computer and detector

namespace
{

// An engine whose envelope jumps straight to the gain computer's target on
// one sample: clean voicing (no side-chain filter), unity input gain,
// attack coefficient 0 and no previous reduction, so the detector sees the
// sample itself.
vt::FetCompressor gainComputerProbe(float slope, float kneeDb, float thresholdDb)
{
    vt::FetCompressor e = preparedEngine(48000.0, 1, Controls{0.0f, 0.0f, 4.0f, 4.0f, 0, 1.0f, true});
    e.attackCoef = 0.0f;
    e.slope = slope;
    e.kneeDb = kneeDb;
    e.thresholdDb = thresholdDb;
    return e;
}

float levelToAmplitude(float db)
{
    return (float) std::pow(10.0, db / 20.0);
}

} // namespace

TEST(GainComputer, FollowsTheSoftKneeAndTheCap)
{
    struct Case { float levelDb; float expectedDb; };
    const Case cases[] = {
        {-40.0f, 0.0f}, {-24.0f, 0.0f}, {-20.0f, 3.0f}, {-18.0f, 3.0f * 36.0f / 16.0f},
        {-16.0f, 12.0f}, {-10.0f, 30.0f}, {-7.0f, 39.0f}, {-5.0f, 40.0f}, {6.0f, 40.0f},
    };
    for (const Case& c : cases)
    {
        vt::FetCompressor e = gainComputerProbe(3.0f, 8.0f, -20.0f);
        step(e, levelToAmplitude(c.levelDb));
        EXPECT_NEAR(e.envDb, c.expectedDb, 1e-3f) << "level " << c.levelDb << " dB";
    }
}

TEST(GainComputer, ExactThresholdGivesTheKneeMidpointOrZeroWithAHardKnee)
{
    // A threshold equal to the detector's own level makes "over" exactly 0.
    const float x = 0.1f;
    const float levelDb = std::log(x) * 8.68588924f;

    vt::FetCompressor soft = gainComputerProbe(3.0f, 8.0f, levelDb);
    step(soft, x);
    EXPECT_EQ(soft.envDb, 3.0f); // slope * half^2 / (2 knee) = 3 * 16 / 16

    vt::FetCompressor hard = gainComputerProbe(3.0f, 0.0f, levelDb);
    step(hard, x);
    EXPECT_EQ(hard.envDb, 0.0f);

    struct Case { float levelDb; float expectedDb; };
    const Case hardCases[] = {{-20.5f, 0.0f}, {-19.5f, 1.5f}, {-10.0f, 30.0f}};
    for (const Case& c : hardCases)
    {
        vt::FetCompressor e = gainComputerProbe(3.0f, 0.0f, -20.0f);
        step(e, levelToAmplitude(c.levelDb));
        EXPECT_NEAR(e.envDb, c.expectedDb, 1e-3f) << "level " << c.levelDb << " dB";
    }
}

TEST(Detector, FeedbackGivesARatioOfSlopePlusOne)
{
    // A constant level L over the threshold T settles where the reduction R
    // satisfies R = S (L - R - T), i.e. R = S (L - T) / (S + 1): a ratio of
    // (S + 1):1. Levels are chosen so that each point lies above the knee
    // and below the 40 dB cap. The clean voicing has no side-chain high-pass,
    // so a constant input is a constant level.
    struct Case { int ratio; float levelDb; };
    const Case cases[] = {{0, 0.0f}, {1, 10.0f}, {2, 13.0f}, {3, 21.0f}, {4, 18.0f}};
    for (const Case& c : cases)
    {
        vt::FetCompressor e = preparedEngine(48000.0, 1, Controls{0.0f, 0.0f, 4.0f, 4.0f, c.ratio, 1.0f, true});
        std::vector<float> x(48000, levelToAmplitude(c.levelDb));
        run(e, x);
        const float expected = e.slope * (c.levelDb - e.thresholdDb) / (e.slope + 1.0f);
        EXPECT_NEAR(e.envDb, expected, 0.05f) << "ratio index " << c.ratio;
        EXPECT_NEAR(e.grDb, expected, 0.05f) << "ratio index " << c.ratio;
    }
}

TEST(Detector, BelowTheKneeBothVoicingsPassTheSignalAtUnitGain)
{
    // The saturator's small-signal slope is 1 and nothing else colours a
    // quiet 1 kHz tone, so output follows input closely.
    for (bool clean : {false, true})
    {
        vt::FetCompressor e = preparedEngine(48000.0, 1, Controls{0.0f, 0.0f, 4.0f, 4.0f, 0, 1.0f, clean});
        std::vector<float> in(48000);
        for (size_t i = 0; i < in.size(); ++i)
            in[i] = 0.01f * (float) std::sin(6.283185307179586 * 1000.0 * (double) i / 48000.0);
        std::vector<float> out = in;
        run(e, out);
        EXPECT_EQ(e.envDb, 0.0f);
        // Level within 0.01 dB; sample by sample within the 5 Hz DC blocker's
        // small phase shift (and the colour voicing's -90 dBFS hiss).
        EXPECT_NEAR(rmsDb(out, 24000) - rmsDb(in, 24000), 0.0, 0.01) << (clean ? "clean" : "colour");
        for (size_t i = 24000; i < in.size(); ++i)
            ASSERT_NEAR(out[i], in[i], 3e-4f) << (clean ? "clean" : "colour") << " sample " << i;
    }
}

// ---------------------------------------------------------------------------
// Envelope and applied reduction

TEST(Envelope, ValuesBelowOneMillionthBecomeExactlyZeroAndGrDbDecaysWithoutFloor)
{
    vt::FetCompressor e = preparedEngine(48000.0, 1);
    e.envDb = 2.0e-6f; // one release step keeps it above 1e-6
    e.grDb = 5.0e-7f;
    step(e, 0.0f);
    EXPECT_GT(e.envDb, 1.0e-6f);

    e.envDb = 1.00001e-6f; // one release step takes it below 1e-6
    step(e, 0.0f);
    EXPECT_EQ(e.envDb, 0.0f);

    // 1e-6 itself is not below 1e-6: an attack straight onto it keeps it.
    vt::FetCompressor edge = gainComputerProbe(1.0e-6f, 0.0f, -1.0f);
    step(edge, 1.0f); // level exactly 0 dB, one dB over
    EXPECT_EQ(edge.envDb, 1.0e-6f);

    const float before = e.grDb;
    step(e, 0.0f);
    EXPECT_EQ(e.grDb, e.grSmoothCoef * before);
    for (int i = 0; i < 1000; ++i)
        step(e, 0.0f);
    EXPECT_GT(e.grDb, 0.0f);
}

TEST(Envelope, AppliedReductionLagsTheEnvelopeByAtMost8Db)
{
    // Fast envelope attack but a slow second stage: a sudden loud burst makes
    // the applied reduction ride exactly 8 dB under the envelope.
    vt::FetCompressor e = preparedEngine(48000.0, 1, Controls{0.0f, 0.0f, 7.0f, 4.0f, 3, 1.0f, false});
    e.attackCoef = 0.5f;
    e.grSmoothCoef = 0.999f;
    int pinned = 0;
    for (int i = 0; i < 4000; ++i)
    {
        step(e, (i >= 1000 && i < 2000) ? 0.9f : 0.0f);
        ASSERT_GE(e.grDb, e.envDb - 8.0f) << "sample " << i;
        if (e.grDb == e.envDb - 8.0f)
            ++pinned;
    }
    EXPECT_GT(pinned, 0);
}

TEST(Envelope, ReleaseStretchesWithAccumulatedAttackTime)
{
    // After more than two seconds of attack the release runs at twice its
    // base time: the first release step uses exp(-1 / (2 T fs)).
    vt::FetCompressor e = preparedEngine(48000.0, 1, Controls{0.0f, 0.0f, 4.0f, 4.0f, 0, 1.0f, true});
    e.compressSeconds = 2.0f;
    e.envDb = 10.0f;
    step(e, 0.0f);
    const float r = (float) std::exp(-1.0 / ((double) (2.0f * e.releaseSeconds) * 48000.0));
    EXPECT_EQ(e.envDb, r * 10.0f);
    EXPECT_EQ(e.compressSeconds, 2.0f - (float) (1.0 / 48000.0));

    // And the accumulator never leaves 0..2.
    vt::FetCompressor f = preparedEngine(48000.0, 1);
    f.compressSeconds = 1.99999f;
    f.attackCoef = 0.9f;
    f.slope = 0.0f; // target stays 0: pure release
    for (int i = 0; i < 200000; ++i)
        step(f, 0.0f);
    EXPECT_EQ(f.compressSeconds, 0.0f);
}

// ---------------------------------------------------------------------------
// Hiss gate

TEST(HissGate, HoldsForHoldSamplesMinusOneAfterTheLastLoudSample)
{
    vt::FetCompressor e = preparedEngine(48000.0, 1);
    step(e, 0.5f);
    EXPECT_EQ(e.silentSamples, 0);
    float previous = e.gateEnv;
    for (int j = 1; j < e.holdSamples; ++j)
    {
        step(e, 0.0f);
        ASSERT_GT(e.gateEnv, previous) << "gate must still open at silent sample " << j;
        previous = e.gateEnv;
    }
    step(e, 0.0f);
    EXPECT_EQ(e.silentSamples, e.holdSamples);
    EXPECT_LT(e.gateEnv, previous) << "gate must close at silent sample " << e.holdSamples;
}

TEST(HissGate, OneMillionthCountsAsSilenceAndOnlyStrictlyMoreOpensTheGate)
{
    vt::FetCompressor e = preparedEngine(48000.0, 2);
    std::vector<float> l(4000, 1.0e-6f), r(4000, -1.0e-6f);
    run(e, l, &r);
    EXPECT_EQ(e.silentSamples, 0x40000000); // saturated, not wrapped
    EXPECT_EQ(e.gateEnv, 0.0f);
    EXPECT_EQ(e.noiseSeed[0], 0x9E3779B9u);
    EXPECT_EQ(e.noiseSeed[1], 0x7F4A7C15u);

    // The loudest channel counts: a second channel just above opens it.
    float a = 1.0e-6f, b = -std::nextafter(1.0e-6f, 1.0f);
    float* ch[2] = {&a, &b};
    e.process(ch, 2, 1);
    EXPECT_EQ(e.silentSamples, 0);
    EXPECT_GT(e.gateEnv, 0.0f);
    EXPECT_NE(e.noiseSeed[0], 0x9E3779B9u);
    EXPECT_NE(e.noiseSeed[1], 0x7F4A7C15u);
}

TEST(HissGate, ClosesToExactlyZeroAndThenFreezesTheGenerator)
{
    vt::FetCompressor e = preparedEngine(48000.0, 1);
    std::vector<float> x(21600, 0.0f);
    x[0] = 0.5f;
    run(e, x); // 450 ms: gate open for 100 ms, then closing with 30 ms
    EXPECT_GT(e.gateEnv, 0.0f);
    EXPECT_LT(e.gateEnv, 1e-5f);

    std::vector<float> more(24000, 0.0f);
    run(e, more);
    ASSERT_EQ(e.gateEnv, 0.0f);
    const uint32_t seed = e.noiseSeed[0];
    const float noiseLp = e.noiseLp[0];
    run(e, more);
    EXPECT_EQ(e.noiseSeed[0], seed);
    EXPECT_EQ(bitsOf(e.noiseLp[0]), bitsOf(noiseLp));
}

TEST(HissGate, OpenGateAddsDecorrelatedHissAtMinus90Dbfs)
{
    // A -120 dBFS signal opens the gate but contributes nothing measurable;
    // what comes out is the hiss.
    vt::FetCompressor e = preparedEngine(48000.0, 2);
    std::vector<float> l(96000), r(96000);
    for (size_t i = 0; i < l.size(); ++i)
        l[i] = r[i] = (i & 1) ? 1.0e-6f * 1.01f : -1.0e-6f * 1.01f;
    run(e, l, &r);
    EXPECT_NEAR(rmsDb(l, 24000), -90.0, 0.5);
    EXPECT_NEAR(rmsDb(r, 24000), -90.0, 0.5);
    double cross = 0.0, ll = 0.0, rr = 0.0;
    for (size_t i = 24000; i < l.size(); ++i)
    {
        cross += (double) l[i] * r[i];
        ll += (double) l[i] * l[i];
        rr += (double) r[i] * r[i];
    }
    EXPECT_LT(std::fabs(cross / std::sqrt(ll * rr)), 0.05);
}

// ---------------------------------------------------------------------------
// Output path

TEST(Output, DigitalSilenceStaysDigitalSilenceInBothVoicings)
{
    for (bool clean : {false, true})
        for (int ratio : {0, 4})
        {
            vt::FetCompressor e = preparedEngine(48000.0, 2, Controls{12.0f, 6.0f, 4.0f, 4.0f, ratio, 1.0f, clean});
            std::vector<float> l(9600, 0.0f), r(9600, 0.0f);
            run(e, l, &r);
            for (size_t i = 0; i < l.size(); ++i)
            {
                ASSERT_EQ(bitsOf(l[i]), 0u) << "left " << i;
                ASSERT_EQ(bitsOf(r[i]), 0u) << "right " << i;
            }
            EXPECT_EQ(e.envDb, 0.0f);
            EXPECT_EQ(e.noiseSeed[0], 0x9E3779B9u);
        }
}

TEST(Output, ZeroWetShareReturnsTheInputBitForBit)
{
    for (bool clean : {false, true})
    {
        vt::FetCompressor e = preparedEngine(48000.0, 2, Controls{24.0f, 0.0f, 7.0f, 7.0f, 4, 0.0f, clean});
        std::vector<float> l = enginetest::testSignal(9600, 0, 48000.0, 0.9f);
        std::vector<float> r = enginetest::testSignal(9600, 1, 48000.0, 0.9f);
        const std::vector<float> l0 = l, r0 = r;
        run(e, l, &r);
        EXPECT_GT(e.grDb, 10.0f); // the compressor did work on the way
        for (size_t i = 0; i < l.size(); ++i)
        {
            ASSERT_EQ(bitsOf(l[i]), bitsOf(l0[i])) << "left " << i;
            ASSERT_EQ(bitsOf(r[i]), bitsOf(r0[i])) << "right " << i;
        }
    }
}

TEST(Output, AllModeKeepsTheSaturatorOutputBelowOneSixth)
{
    for (bool clean : {false, true})
    {
        vt::FetCompressor e = preparedEngine(48000.0, 2, Controls{36.0f, 0.0f, 7.0f, 7.0f, 4, 1.0f, clean});
        const float hot[] = {1.0f, -1.0f, 40.0f, -40.0f, 1.0e4f, -1.0e4f, 0.3f, -0.02f};
        for (int i = 0; i < 4800; ++i)
        {
            float a = hot[i % 8], b = -hot[(i / 3) % 8];
            float* ch[2] = {&a, &b};
            e.process(ch, 2, 1);
            ASSERT_LT(std::fabs(e.satPrev[0]), 1.0f / 6.0f) << "sample " << i;
            ASSERT_LT(std::fabs(e.satPrev[1]), 1.0f / 6.0f) << "sample " << i;
        }
    }
}

// ---------------------------------------------------------------------------
// Channel and call rules

TEST(Channels, SecondChannelOnlyWhenPreparedAndPassedAndNeverAThird)
{
    struct Case { int prepared; int passed; int expectProcessed; };
    const Case cases[] = {{1, 1, 1}, {1, 2, 1}, {1, 3, 1}, {2, 1, 1}, {2, 2, 2}, {2, 3, 2}};
    for (const Case& c : cases)
    {
        vt::FetCompressor e = preparedEngine(48000.0, c.prepared, Controls{12.0f});
        const vt::FetCompressor before = e;
        std::vector<float> buf[3];
        for (int k = 0; k < 3; ++k)
            buf[k] = enginetest::testSignal(64, k, 48000.0, 0.8f);
        const std::vector<float> original[3] = {buf[0], buf[1], buf[2]};
        float* ch[3] = {buf[0].data(), buf[1].data(), buf[2].data()};
        e.process(ch, c.passed, 64);

        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(buf[k] != original[k], k < c.expectProcessed)
                << "prepared " << c.prepared << " passed " << c.passed << " channel " << k;
        if (c.expectProcessed == 1)
        {
            // The second channel's state stays as it was.
            EXPECT_EQ(e.satPrev[1], before.satPrev[1]);
            EXPECT_EQ(e.dcState[1], before.dcState[1]);
            EXPECT_EQ(e.lowGritIn[1], before.lowGritIn[1]);
            EXPECT_EQ(e.lowGritOut[1], before.lowGritOut[1]);
            EXPECT_EQ(e.detectorLp[1], before.detectorLp[1]);
            EXPECT_EQ(e.noiseSeed[1], before.noiseSeed[1]);
        }
    }
}

TEST(Channels, WithoutChannelsTheEnvelopesStillRelease)
{
    for (bool clean : {false, true})
    {
        vt::FetCompressor e = preparedEngine(48000.0, 2, Controls{0.0f, 0.0f, 4.0f, 4.0f, 0, 1.0f, clean});
        e.envDb = 20.0f;
        e.grDb = 20.0f;
        e.silentSamples = 0;
        e.process(nullptr, 0, 32);
        EXPECT_LT(e.envDb, 20.0f);
        EXPECT_GT(e.envDb, 19.0f);
        EXPECT_LT(e.grDb, 20.0f);
        EXPECT_EQ(e.silentSamples, clean ? 0 : 32);
        EXPECT_EQ(e.noiseSeed[0], 0x9E3779B9u); // no hiss without channels
        EXPECT_EQ(e.satPrev[0], 0.0f);
    }
}

TEST(Channels, ANonPositiveSampleCountChangesNothing)
{
    vt::FetCompressor e = preparedEngine(48000.0, 2, Controls{12.0f});
    std::vector<float> l = enginetest::testSignal(320, 0, 48000.0, 0.8f), r = l;
    run(e, l, &r);
    const vt::FetCompressor before = e;
    float a = 0.5f, b = -0.5f;
    float* ch[2] = {&a, &b};
    for (int count : {0, -1, -32})
    {
        e.process(ch, 2, count);
        EXPECT_TRUE(sameState(e, before)) << "count " << count;
        EXPECT_EQ(a, 0.5f);
        EXPECT_EQ(b, -0.5f);
    }
}

// ---------------------------------------------------------------------------
// Non-finite input

TEST(NonFinite, OutputIsFiniteAgainOneCallAfterTheInputIs)
{
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), 3.0e38f /* overflows inside */};
    for (float value : bad)
        for (bool clean : {false, true})
            for (int ratio : {0, 4})
            {
                const Controls controls{24.0f, 0.0f, 4.0f, 4.0f, ratio, 1.0f, clean};
                vt::FetCompressor e = preparedEngine(48000.0, 2, controls);
                std::vector<float> l = enginetest::testSignal(4800, 0, 48000.0, 0.5f);
                std::vector<float> r = enginetest::testSignal(4800, 1, 48000.0, 0.5f);
                l[2000] = value; // inside a 32-sample call
                r[2003] = -value;
                const vt::FetCompressor settings = e;
                run(e, l, &r);

                const size_t nextCall = (2003 / 32 + 1) * 32;
                for (size_t i = nextCall; i < l.size(); ++i)
                {
                    ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i]))
                        << "value " << value << (clean ? " clean" : " colour") << " ratio " << ratio
                        << " sample " << i;
                }
                EXPECT_TRUE(std::isfinite(e.envDb) && std::isfinite(e.grDb) && std::isfinite(e.dcState[0]));

                // Settings, coefficients and smoothed gains are left alone.
                vt::FetCompressor expected = e;
                expected.inGainTarget = settings.inGainTarget;
                expected.outGainTarget = settings.outGainTarget;
                expected.wetTarget = settings.wetTarget;
                expected.inGain = settings.inGain;
                expected.outGain = settings.outGain;
                expected.wet = settings.wet;
                expected.attackCoef = settings.attackCoef;
                expected.releaseSeconds = settings.releaseSeconds;
                expected.ratioIndex = settings.ratioIndex;
                expected.slope = settings.slope;
                expected.kneeDb = settings.kneeDb;
                expected.thresholdDb = settings.thresholdDb;
                expected.drive = settings.drive;
                expected.grSmoothCoef = settings.grSmoothCoef;
                expected.colour = settings.colour;
                expected.snapSmoothing = settings.snapSmoothing;
                expected.sampleRate = settings.sampleRate;
                expected.numChannels = settings.numChannels;
                vt::computeCoefficients(expected, 48000.0);
                EXPECT_TRUE(sameState(e, expected));
            }
}
