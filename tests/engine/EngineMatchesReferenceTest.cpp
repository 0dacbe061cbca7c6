// The engine against the plain transcription in ReferenceFetCompressor.h:
// output and final state must be identical bit for bit over a table of
// settings, channel counts and call lengths, and two runs must agree.

#include "tests/engine/EngineTestSupport.h"
#include "tests/engine/ReferenceFetCompressor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using enginetest::Controls;
using enginetest::bitsOf;
using enginetest::sameState;

namespace
{

struct Scenario
{
    std::string name;
    Controls controls;
    int preparedChannels = 2;
    int passedChannels = 2;
    double fs = 48000.0;
    float peak = 0.6f;
    // Every this many calls the settings switch voicing and ratio and nudge
    // attack, release and gains (0 = fixed settings).
    int changeEvery = 0;
};

// Call lengths cycle through odd sizes so that nothing depends on 32.
const int kCallLengths[] = {1, 7, 32, 13, 31, 5, 32, 29, 64, 3, 17};

// Silence, then the test signal, then long enough silence for the hiss gate
// to hold and close completely.
std::vector<float> scenarioInput(const Scenario& s, int channel)
{
    const int lead = 2000, body = (int) (0.3 * s.fs), tail = (int) (0.6 * s.fs);
    std::vector<float> x((size_t) (lead + body + tail), 0.0f);
    const std::vector<float> sig = enginetest::testSignal(body, channel, s.fs, s.peak);
    std::copy(sig.begin(), sig.end(), x.begin() + lead);
    return x;
}

template <typename Process>
void runScenario(const Scenario& s, vt::FetCompressor& e, std::vector<float> (&buf)[2], Process process)
{
    e.sampleRate = s.fs;
    e.numChannels = s.preparedChannels;
    vt::computeCoefficients(e, s.fs);
    vt::resetState(e);
    enginetest::applyControls(e, s.controls);

    const int total = (int) buf[0].size();
    int call = 0;
    for (int offset = 0; offset < total; ++call)
    {
        if (s.changeEvery > 0 && call > 0 && call % s.changeEvery == 0)
        {
            Controls c = s.controls;
            const int phase = call / s.changeEvery;
            c.clean = (phase % 2) == 1;
            c.ratio = phase % 5;
            c.attack = 1.0f + (float) (phase % 7);
            c.release = 7.0f - (float) (phase % 7);
            c.inputDb += (float) (phase % 3) * 3.0f;
            c.mix = (phase % 4 == 3) ? 0.5f : 1.0f;
            enginetest::applyControls(e, c);
        }
        const int len = std::min(kCallLengths[call % (int) (sizeof kCallLengths / sizeof kCallLengths[0])],
                                 total - offset);
        float* ch[2] = {buf[0].data() + offset, buf[1].data() + offset};
        process(e, s.passedChannels > 0 ? ch : nullptr, s.passedChannels, len);
        offset += len;
    }
}

std::vector<Scenario> scenarios()
{
    std::vector<Scenario> list;
    const char* ratioNames[] = {"4", "8", "12", "20", "ALL"};
    for (bool clean : {false, true})
        for (int ratio = 0; ratio < 5; ++ratio)
            for (int channels : {1, 2})
                for (bool fast : {false, true})
                {
                    Scenario s;
                    s.name = std::string(clean ? "clean" : "colour") + " ratio " + ratioNames[ratio] + " "
                           + (channels == 2 ? "stereo" : "mono") + (fast ? " fast" : " slow");
                    s.controls = Controls{12.0f, 3.0f, fast ? 7.0f : 1.0f, fast ? 7.0f : 1.0f, ratio, 1.0f, clean};
                    s.preparedChannels = channels;
                    s.passedChannels = channels;
                    list.push_back(s);
                }

    Scenario hot;
    hot.name = "colour ALL driven to the 40 dB cap";
    hot.controls = Controls{36.0f, -6.0f, 7.0f, 3.0f, 4, 1.0f, false};
    hot.peak = 1.0f;
    list.push_back(hot);

    Scenario mixed;
    mixed.name = "colour half mix at 44.1 kHz";
    mixed.controls = Controls{6.0f, 0.0f, 3.5f, 2.5f, 1, 0.5f, false};
    mixed.fs = 44100.0;
    list.push_back(mixed);

    Scenario changing;
    changing.name = "settings and voicing change between calls";
    changing.controls = Controls{9.0f, 0.0f, 4.0f, 4.0f, 0, 1.0f, false};
    changing.changeEvery = 40;
    list.push_back(changing);

    Scenario monoPrepared;
    monoPrepared.name = "prepared mono, passed stereo";
    monoPrepared.preparedChannels = 1;
    monoPrepared.controls = Controls{12.0f};
    list.push_back(monoPrepared);

    Scenario none;
    none.name = "no channels";
    none.passedChannels = 0;
    none.controls = Controls{12.0f};
    list.push_back(none);

    return list;
}

} // namespace

TEST(EngineMatchesReference, OutputAndStateAreBitIdentical)
{
    for (const Scenario& s : scenarios())
    {
        SCOPED_TRACE(s.name);
        std::vector<float> ref[2] = {scenarioInput(s, 0), scenarioInput(s, 1)};
        std::vector<float> out[2] = {ref[0], ref[1]};
        std::vector<float> again[2] = {ref[0], ref[1]};

        vt::FetCompressor refEngine, engine, engineAgain;
        float peakGr = 0.0f;
        runScenario(s, refEngine, ref, [&peakGr](vt::FetCompressor& e, float* const* ch, int n, int len) {
            vt_ref::process(e, ch, n, len);
            peakGr = std::max(peakGr, e.grDb);
        });
        auto optimised = [](vt::FetCompressor& e, float* const* ch, int n, int len) { e.process(ch, n, len); };
        runScenario(s, engine, out, optimised);
        runScenario(s, engineAgain, again, optimised);

        EXPECT_TRUE(sameState(engine, refEngine));
        EXPECT_TRUE(sameState(engine, engineAgain));
        size_t mismatches = 0, firstMismatch = 0;
        for (int c = 0; c < 2; ++c)
            for (size_t i = 0; i < ref[c].size(); ++i)
                if (bitsOf(out[c][i]) != bitsOf(ref[c][i]) || bitsOf(out[c][i]) != bitsOf(again[c][i]))
                    if (mismatches++ == 0)
                        firstMismatch = i;
        EXPECT_EQ(mismatches, 0u) << "first at sample " << firstMismatch;

        // The scenario must exercise what it claims: real compression and,
        // in the colour voicing, a hiss gate that opened and closed again.
        if (s.passedChannels > 0)
        {
            EXPECT_GT(peakGr, 6.0f);
            if (!s.controls.clean && s.changeEvery == 0)
            {
                EXPECT_NE(refEngine.noiseSeed[0], 0x9E3779B9u);
                EXPECT_EQ(refEngine.gateEnv, 0.0f);
            }
        }
    }
}
