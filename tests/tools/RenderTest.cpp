// Whole renders on small generated files: formats and layouts, the order in which
// settings apply, reproducibility, saved state, and that a failed render leaves
// every output path as it was.

#include "tools/render/AudioFiles.h"
#include "tools/render/ProcessorSetup.h"
#include "tools/render/Renderer.h"

#include "shell/Processor.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// Drum-like test material: a decaying 55 Hz thump four times a second over soft
// noise, with the channels different so that a swap would show.
juce::AudioBuffer<float> testSignal (int channels, int samples, double rate)
{
    juce::AudioBuffer<float> buffer (channels, samples);
    juce::Random random (11);
    for (int s = 0; s < samples; ++s)
    {
        const double t = s / rate;
        const double thump = 0.8 * std::exp (-std::fmod (t, 0.25) * 25.0) * std::sin (juce::MathConstants<double>::twoPi * 55.0 * t);
        for (int c = 0; c < channels; ++c)
            buffer.setSample (c, s, static_cast<float> (thump * (1.0 - 0.3 * c)) + 0.03f * (random.nextFloat() - 0.5f));
    }
    return buffer;
}

void writeWav (const juce::File& file, const juce::AudioBuffer<float>& buffer, double rate, int bits = 32)
{
    file.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream> (file);
    ASSERT_TRUE (stream->openedOk());
    std::unique_ptr<juce::AudioFormatWriter> writer (juce::WavAudioFormat().createWriterFor (
        stream.get(), rate, static_cast<unsigned> (buffer.getNumChannels()), bits, {}, 0));
    ASSERT_NE (writer, nullptr);
    stream.release();
    ASSERT_TRUE (writer->writeFromAudioSampleBuffer (buffer, 0, buffer.getNumSamples()));
}

struct Audio
{
    double rate = 0.0;
    unsigned bits = 0;
    bool isFloat = false;
    juce::AudioBuffer<float> buffer;
};

Audio readAudio (const juce::File& file)
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    Audio audio;
    if (reader == nullptr)
        return audio;

    audio.rate = reader->sampleRate;
    audio.bits = reader->bitsPerSample;
    audio.isFloat = reader->usesFloatingPointData;
    audio.buffer.setSize (static_cast<int> (reader->numChannels), static_cast<int> (reader->lengthInSamples));
    reader->read (&audio.buffer, 0, audio.buffer.getNumSamples(), 0, true, true);
    return audio;
}

juce::MemoryBlock contents (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    return data;
}

class RenderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("vantrel-render-test", "");
        ASSERT_TRUE (dir.createDirectory());
        stereo = dir.getChildFile ("stereo.wav");
        writeWav (stereo, testSignal (2, 9001, 48000.0), 48000.0);
    }

    void TearDown() override { dir.deleteRecursively(); }

    juce::String path (const char* name) const { return dir.getChildFile (name).getFullPathName(); }

    vrender::RenderResult render (juce::StringArray arguments) const
    {
        const auto parsed = vrender::parseArguments (arguments);
        if (! parsed.status.ok())
            return { parsed.status, {} };
        return vrender::renderFile (parsed.options);
    }

    juce::File dir;
    juce::File stereo;
};
} // namespace

TEST_F (RenderTest, ReadsAndWritesEveryFormatKeepingRateChannelsAndLength)
{
    struct Case
    {
        int channels;
        double rate;
        const char* output;
        const char* bits; // --bits, or empty for the type's default
        unsigned expectedBits;
        bool expectedFloat;
    };

    const Case cases[] = {
        { 1, 44100.0, "mono.wav", "", 32, true },
        { 2, 48000.0, "stereo.flac", "16", 16, false },
        { 2, 96000.0, "stereo.aiff", "", 24, false },
        { 1, 22050.0, "mono.aif", "24", 24, false },
    };

    for (const auto& c : cases)
    {
        const auto input = dir.getChildFile ("in-" + juce::String (c.channels) + ".wav");
        writeWav (input, testSignal (c.channels, 3001, c.rate), c.rate, 24);

        juce::StringArray arguments { input.getFullPathName(), path (c.output), "--block", "256", "--preset", "Bass / Growl" };
        if (*c.bits != 0)
            arguments.addArray (juce::StringArray { "--bits", c.bits });

        const auto result = render (arguments);
        ASSERT_TRUE (result.status.ok()) << c.output << ": " << result.status.message;

        const auto out = readAudio (dir.getChildFile (c.output));
        EXPECT_EQ (out.rate, c.rate) << c.output;
        EXPECT_EQ (out.buffer.getNumChannels(), c.channels) << c.output;
        EXPECT_EQ (out.buffer.getNumSamples(), 3001) << c.output; // 11 full blocks and a short one
        EXPECT_EQ (out.bits, c.expectedBits) << c.output;
        EXPECT_EQ (out.isFloat, c.expectedFloat) << c.output;
        EXPECT_GT (out.buffer.getMagnitude (0, out.buffer.getNumSamples()), 0.01f) << c.output;
        EXPECT_GT (result.report.analysis->maxReductionDb(), 1.0f) << c.output;

        // What it wrote, it also reads.
        const auto again = render ({ path (c.output), path ("again.wav") });
        ASSERT_TRUE (again.status.ok()) << c.output << ": " << again.status.message;
        EXPECT_EQ (again.report.numSamples, 3001) << c.output;
    }
}

TEST_F (RenderTest, WritesWhatTheProcessorGivesAHost)
{
    ASSERT_TRUE (render ({ stereo.getFullPathName(), path ("out.wav"), "--preset", "4", "--set", "inputTrimDb=3", "--block", "300" }).status.ok());

    // The same processing, driven by hand the way a host drives the plug-in.
    zep::Processor processor;
    processor.setCurrentProgram (4);
    auto* trim = processor.parameters.getParameter ("inputTrimDb");
    trim->setValueNotifyingHost (trim->convertTo0to1 (3.0f));
    processor.prepareToPlay (48000.0, 300);

    auto expected = readAudio (stereo).buffer;
    juce::MidiBuffer midi;
    for (int start = 0; start < expected.getNumSamples(); start += 300)
    {
        const int n = std::min (300, expected.getNumSamples() - start);
        float* channels[] = { expected.getWritePointer (0, start), expected.getWritePointer (1, start) };
        juce::AudioBuffer<float> block (channels, 2, n);
        processor.processBlock (block, midi);
    }

    const auto written = readAudio (dir.getChildFile ("out.wav")).buffer;
    ASSERT_EQ (written.getNumSamples(), expected.getNumSamples());
    for (int c = 0; c < 2; ++c)
        for (int s = 0; s < written.getNumSamples(); ++s)
            ASSERT_EQ (written.getSample (c, s), expected.getSample (c, s)) << "channel " << c << " sample " << s;
}

TEST_F (RenderTest, StateThenPresetThenEachSetInOrder)
{
    // A saved state with a trim and an input level of its own.
    juce::MemoryBlock blob;
    {
        zep::Processor source;
        for (auto [id, value] : { std::pair { "inputTrimDb", 3.0f }, std::pair { "fetInput", 10.0f } })
        {
            auto* p = source.parameters.getParameter (id);
            p->setValueNotifyingHost (p->convertTo0to1 (value));
        }
        source.getStateInformation (blob);
    }
    const auto stateFile = dir.getChildFile ("saved.vc2");
    ASSERT_TRUE (stateFile.replaceWithData (blob.getData(), blob.getSize()));

    // The --set's come after the preset wherever they stand on the line; among themselves the last wins.
    juce::StringArray arguments { "in.wav", "out.wav", "--set", "mix=0.9", "--preset", "Drums / Smash Parallel",
                                  "--state", stateFile.getFullPathName(), "--set", "mix=0.5", "--set", "mix=0.75" };
    const auto parsed = vrender::parseArguments (arguments);
    ASSERT_TRUE (parsed.status.ok()) << parsed.status.message;

    zep::Processor processor;
    vrender::ResolvedSettings settings;
    juce::MemoryBlock state;
    ASSERT_TRUE (vrender::resolveSettings (processor, parsed.options, settings).ok());
    ASSERT_TRUE (vrender::readStateFile (parsed.options.stateIn, state).ok());
    vrender::applySettings (processor, state, settings);

    auto value = [&] (const char* id) { return processor.parameters.getRawParameterValue (id)->load(); };
    EXPECT_EQ (processor.getCurrentProgram(), 4);
    EXPECT_FLOAT_EQ (value ("fetInput"), 16.5f); // the preset replaced the state's 10 dB
    EXPECT_FLOAT_EQ (value ("inputTrimDb"), 3.0f); // presets leave the state's trim alone
    EXPECT_NEAR (value ("mix"), 0.75f, 1.0e-6f);
    EXPECT_FLOAT_EQ (processor.getParameters()[5]->getValue(), processor.parameters.getParameter ("mix")->convertTo0to1 (0.75f));
}

TEST_F (RenderTest, RendersAreBitIdentical)
{
    const juce::StringArray options { "--preset", "Drums / Crushed", "--set", "attack=6.5", "--block", "128" };

    for (const char* name : { "a.wav", "b.wav" })
    {
        juce::StringArray arguments { stereo.getFullPathName(), path (name) };
        arguments.addArray (options);
        ASSERT_TRUE (render (arguments).status.ok());
    }

    EXPECT_EQ (contents (dir.getChildFile ("a.wav")), contents (dir.getChildFile ("b.wav")));
}

TEST_F (RenderTest, SavedStateReproducesTheRender)
{
    ASSERT_TRUE (render ({ stereo.getFullPathName(), path ("first.wav"), "--preset", "Bass / Thick Parallel", "--set", "release=2.5",
                           "--set", "outputTrimDb=-1.5", "--save-state", path ("saved.vc2") })
                     .status.ok());
    ASSERT_TRUE (render ({ stereo.getFullPathName(), path ("again.wav"), "--state", path ("saved.vc2") }).status.ok());
    ASSERT_TRUE (render ({ stereo.getFullPathName(), path ("default.wav") }).status.ok());

    EXPECT_EQ (contents (dir.getChildFile ("first.wav")), contents (dir.getChildFile ("again.wav")));
    EXPECT_NE (contents (dir.getChildFile ("first.wav")), contents (dir.getChildFile ("default.wav")));
}

TEST_F (RenderTest, ReportAndPlotDescribeTheFilesWritten)
{
    const auto result = render ({ stereo.getFullPathName(), path ("out.wav"), "--preset", "4", "--plot", path ("levels.png") });
    ASSERT_TRUE (result.status.ok()) << result.status.message;

    const auto input = readAudio (stereo).buffer;
    const auto output = readAudio (dir.getChildFile ("out.wav")).buffer;
    const auto& analysis = *result.report.analysis;
    EXPECT_FLOAT_EQ (analysis.inputPeak(), input.getMagnitude (0, input.getNumSamples()));
    EXPECT_FLOAT_EQ (analysis.outputPeak(), output.getMagnitude (0, output.getNumSamples()));
    EXPECT_EQ (analysis.numSamples(), 9001);
    EXPECT_EQ (analysis.windows().size(), 4u); // 50 ms windows: 3 × 2400 samples and the rest
    EXPECT_GT (analysis.maxReductionDb(), 3.0f);
    EXPECT_GT (analysis.averageReductionDb(), 0.0f);
    EXPECT_LE (analysis.averageReductionDb(), analysis.maxReductionDb());

    const auto image = juce::ImageFileFormat::loadFrom (dir.getChildFile ("levels.png"));
    EXPECT_EQ (image.getWidth(), 1200);
    EXPECT_EQ (image.getHeight(), 500);
}

TEST_F (RenderTest, EmptyInputGivesEmptyOutput)
{
    writeWav (dir.getChildFile ("empty.wav"), juce::AudioBuffer<float> (2, 0), 48000.0);
    const auto result = render ({ path ("empty.wav"), path ("out.flac"), "--plot", path ("empty.png") });
    ASSERT_TRUE (result.status.ok()) << result.status.message;
    EXPECT_EQ (readAudio (dir.getChildFile ("out.flac")).buffer.getNumSamples(), 0);
    EXPECT_TRUE (dir.getChildFile ("empty.png").existsAsFile());
}

TEST_F (RenderTest, FailedRendersLeaveEveryOutputAsItWas)
{
    writeWav (dir.getChildFile ("three.wav"), testSignal (3, 500, 48000.0), 48000.0);
    dir.getChildFile ("text.wav").replaceWithText ("not audio");
    dir.getChildFile ("foreign.vc2").replaceWithText ("<xml/>");
    dir.getChildFile ("broken.vc2").replaceWithText (juce::String ("VC2!") + "\x10\x00\x00\x00<ZEPSTATE");
    dir.getChildFile ("other.vc2").replaceWithData ("VC2!\x0b\x00\x00\x00<OTHER/>  \x00", 20);

    const auto out = dir.getChildFile ("out.wav");
    const auto plot = dir.getChildFile ("out.png");
    const auto saved = dir.getChildFile ("out.vc2");
    const juce::String in = stereo.getFullPathName();

    struct Case
    {
        juce::StringArray arguments; // OUT, the plot and the saved state are added
        int exitCode;
        const char* named;
    };

    const Case cases[] = {
        { { path ("missing.wav") }, vrender::kExitIo, "missing.wav" },
        { { path ("text.wav") }, vrender::kExitIo, "text.wav" },
        { { path ("three.wav") }, vrender::kExitIo, "3 channels" },
        { { in, "--preset", "Drums / glue" }, vrender::kExitUsage, "Drums / glue" },
        { { in, "--preset", "13" }, vrender::kExitUsage, "--preset 13" },
        { { in, "--set", "threshold=3" }, vrender::kExitUsage, "threshold" },
        { { in, "--set", "attack=fast" }, vrender::kExitUsage, "attack=fast" },
        { { in, "--set", "attack=7.01" }, vrender::kExitUsage, "attack=7.01" },
        { { in, "--set", "fetInput=-24.5" }, vrender::kExitUsage, "fetInput=-24.5" },
        { { in, "--set", "mix=40" }, vrender::kExitUsage, "mix=40" },
        { { in, "--set", "ratio=5" }, vrender::kExitUsage, "ratio=5" },
        { { in, "--set", "clean=0.5" }, vrender::kExitUsage, "clean=0.5" },
        { { in, "--state", path ("missing.vc2") }, vrender::kExitIo, "missing.vc2" },
        { { in, "--state", path ("foreign.vc2") }, vrender::kExitIo, "foreign.vc2" },
        { { in, "--state", path ("broken.vc2") }, vrender::kExitIo, "broken.vc2" },
        { { in, "--state", path ("other.vc2") }, vrender::kExitIo, "other.vc2" },
        { { in, "--state", path ("out.wav") }, vrender::kExitUsage, "--state" },
    };

    const juce::String precious ("precious");
    auto prepare = [&]
    {
        for (const auto& file : { out, plot, saved })
            file.replaceWithText (precious);
        return dir.getNumberOfChildFiles (juce::File::findFiles | juce::File::ignoreHiddenFiles, "*") ;
    };

    auto check = [&] (const vrender::RenderResult& result, int exitCode, const juce::String& named, const juce::String& where,
                      int filesBefore)
    {
        EXPECT_EQ (result.status.exitCode, exitCode) << where << " -> " << result.status.message;
        EXPECT_TRUE (result.status.message.contains (named)) << where << " -> " << result.status.message;
        EXPECT_FALSE (result.status.message.containsChar ('\n')) << where;
        for (const auto& file : { out, plot, saved })
            EXPECT_EQ (file.loadFileAsString(), precious) << where << ": " << file.getFileName();
        // No temporary file is left behind, hidden or not.
        EXPECT_EQ (dir.getNumberOfChildFiles (juce::File::findFiles, "*"), filesBefore) << where;
    };

    for (const auto& c : cases)
    {
        const int before = prepare();
        auto arguments = c.arguments;
        arguments.insert (1, out.getFullPathName());
        arguments.addArray (juce::StringArray { "--plot", plot.getFullPathName(), "--save-state", saved.getFullPathName() });
        check (render (arguments), c.exitCode, c.named, arguments.joinIntoString (" "), before);
    }

    // Output paths that cannot be used: the input itself under another spelling, a
    // second output on the same path, a directory that does not exist.
    const auto inputBytes = contents (stereo);
    const auto sameAsInput = dir.getChildFile ("sub/../stereo.wav").getFullPathName();
    int before = prepare();
    check (render ({ in, sameAsInput }), vrender::kExitUsage, "input", "OUT is IN", before);
    EXPECT_EQ (contents (stereo), inputBytes);

    before = prepare();
    check (render ({ in, out.getFullPathName(), "--save-state", plot.getFullPathName(), "--plot", plot.getFullPathName() }),
           vrender::kExitUsage, "--plot", "plot and state on one path", before);

    before = prepare();
    check (render ({ in, out.getFullPathName(), "--plot", path ("nowhere/levels.png") }), vrender::kExitIo, "nowhere",
           "plot in a missing directory", before);
    EXPECT_FALSE (dir.getChildFile ("nowhere").exists());
}
