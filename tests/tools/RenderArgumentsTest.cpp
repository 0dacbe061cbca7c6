// The renderer's command line: what it accepts, and a clear message naming the
// culprit for everything it refuses.

#include "tools/render/Options.h"

#include <gtest/gtest.h>

namespace
{
vrender::ParseResult parse (std::initializer_list<const char*> arguments)
{
    juce::StringArray list;
    for (const auto* argument : arguments)
        list.add (argument);
    return vrender::parseArguments (list);
}
} // namespace

TEST (RenderArguments, ReadsEveryOptionInBothSpellings)
{
    const auto result = parse ({ "in.flac", "out.aiff", "--preset", "Drums / Glue", "--set", "fetInput=-3.5", "--set=mix=0.4",
                                 "--state", "a.vc2", "--save-state=b.vc2", "--block", "64", "--bits=16", "--plot", "p.png", "-q" });
    ASSERT_TRUE (result.status.ok()) << result.status.message;

    const auto& o = result.options;
    const auto cwd = juce::File::getCurrentWorkingDirectory();
    EXPECT_EQ (o.command, vrender::Command::render);
    EXPECT_EQ (o.input, cwd.getChildFile ("in.flac"));
    EXPECT_EQ (o.output, cwd.getChildFile ("out.aiff"));
    EXPECT_EQ (o.preset, "Drums / Glue");
    ASSERT_EQ (o.settings.size(), 2u);
    EXPECT_EQ (o.settings[0].id, "fetInput");
    EXPECT_DOUBLE_EQ (o.settings[0].value, -3.5);
    EXPECT_EQ (o.settings[1].id, "mix");
    EXPECT_DOUBLE_EQ (o.settings[1].value, 0.4);
    EXPECT_EQ (o.stateIn, cwd.getChildFile ("a.vc2"));
    EXPECT_EQ (o.stateOut, cwd.getChildFile ("b.vc2"));
    EXPECT_EQ (o.plot, cwd.getChildFile ("p.png"));
    EXPECT_EQ (o.blockSize, 64);
    EXPECT_EQ (o.sampleFormat, vrender::SampleFormat::int16);
    EXPECT_TRUE (o.quiet);
}

TEST (RenderArguments, CommandsWithoutFiles)
{
    EXPECT_EQ (parse ({ "--list-presets" }).options.command, vrender::Command::listPresets);
    EXPECT_EQ (parse ({ "--list-params" }).options.command, vrender::Command::listParams);
    // Help wins over anything else on the line, even mistakes.
    EXPECT_EQ (parse ({ "in.wav", "--bogus", "--help" }).options.command, vrender::Command::help);
    EXPECT_EQ (parse ({ "-h" }).options.command, vrender::Command::help);
}

TEST (RenderArguments, RefusesBadCommandLinesNamingTheArgument)
{
    struct Case
    {
        std::vector<const char*> arguments;
        const char* named; // must appear in the message
    };

    const Case cases[] = {
        { {}, "IN OUT" },
        { { "in.wav" }, "IN OUT" },
        { { "in.wav", "out.wav", "extra.wav" }, "extra.wav" },
        { { "in.wav", "" }, "empty" },
        { { "in.wav", "out.wav", "--bogus" }, "--bogus" },
        { { "in.wav", "out.wav", "--quiet=1" }, "--quiet" },
        { { "in.wav", "out.mp3" }, ".mp3" },
        { { "in.wav", "out" }, "OUT" },
        { { "in.wav", "out.flac", "--bits", "32f" }, "--bits 32f" },
        { { "in.wav", "out.aif", "--bits", "32f" }, "--bits 32f" },
        { { "in.wav", "out.wav", "--bits", "32" }, "--bits 32" },
        { { "in.wav", "out.wav", "--block", "0" }, "--block 0" },
        { { "in.wav", "out.wav", "--block", "65537" }, "--block 65537" },
        { { "in.wav", "out.wav", "--block", "12k" }, "--block 12k" },
        { { "in.wav", "out.wav", "--block" }, "--block" },
        { { "in.wav", "out.wav", "--preset" }, "--preset" },
        { { "in.wav", "out.wav", "--preset", "" }, "--preset" },
        { { "in.wav", "out.wav", "--preset", "1", "--preset", "2" }, "more than once" },
        { { "in.wav", "out.wav", "--set", "attack" }, "--set attack" },
        { { "in.wav", "out.wav", "--set", "=3" }, "--set =3" },
        { { "in.wav", "out.wav", "--set", "attack=fast" }, "'fast' is not a number" },
        { { "in.wav", "out.wav", "--set", "attack=" }, "--set attack=" },
        { { "in.wav", "out.wav", "--set", "attack=3x" }, "--set attack=3x" },
        { { "in.wav", "out.wav", "--set", "attack= 3" }, "--set attack= 3" },
        { { "in.wav", "out.wav", "--set", "attack=0x3" }, "--set attack=0x3" },
        { { "in.wav", "out.wav", "--set", "attack=nan" }, "--set attack=nan" },
        { { "in.wav", "out.wav", "--set", "attack=inf" }, "--set attack=inf" },
        { { "in.wav", "out.wav", "--plot", "levels.jpg" }, "--plot" },
        { { "--list-presets", "in.wav" }, "--list-presets" },
        { { "--list-params", "--block", "64" }, "--list-params" },
        { { "--list-presets", "--list-params" }, "cannot be combined" },
    };

    for (const auto& c : cases)
    {
        juce::StringArray arguments;
        for (const auto* argument : c.arguments)
            arguments.add (argument);

        const auto result = vrender::parseArguments (arguments);
        const auto where = arguments.joinIntoString (" ");
        EXPECT_EQ (result.status.exitCode, vrender::kExitUsage) << where;
        EXPECT_TRUE (result.status.message.contains (c.named)) << where << " -> " << result.status.message;
        EXPECT_FALSE (result.status.message.containsChar ('\n')) << where;
    }
}

TEST (RenderArguments, AcceptsNumbersInEveryDecimalSpelling)
{
    const std::pair<const char*, double> cases[] = {
        { "attack=3", 3.0 }, { "fetInput=-24", -24.0 }, { "mix=.35", 0.35 }, { "release=+6.5", 6.5 }, { "mix=1e-1", 0.1 },
    };

    for (const auto& [text, expected] : cases)
    {
        const auto result = parse ({ "in.wav", "out.wav", "--set", text });
        ASSERT_TRUE (result.status.ok()) << text << ": " << result.status.message;
        EXPECT_DOUBLE_EQ (result.options.settings.at (0).value, expected) << text;
    }
}
