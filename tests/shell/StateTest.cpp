// The saved state blob, every restore path, and the host programs.

#include "TestProduct.h"

#include "shell/StateBlob.h"

#include <gtest/gtest.h>

#include <random>

using namespace testing_products;

namespace
{
TestProductConfig productWithPresets()
{
    auto config = passThroughProduct();
    config.presets = {
        { "", "Init", { { "gain", 0.0f } } },
        { "Drums", "Loud", { { "gain", 12.0f }, { "mix", 0.5f }, { "mode", 2.0f }, { "on", 0.0f } } },
        // "gain" listed twice: the later pair wins. "nothing" is no parameter.
        { "Bass", "Twice", { { "gain", 3.0f }, { "nothing", 1.0f }, { "gain", -6.0f } } },
    };
    return config;
}

juce::MemoryBlock save (zep::Processor& processor)
{
    juce::MemoryBlock blob;
    processor.getStateInformation (blob);
    return blob;
}

juce::String blobText (const juce::MemoryBlock& blob)
{
    return juce::String::fromUTF8 (static_cast<const char*> (blob.getData()) + 8, static_cast<int> (blob.getSize()) - 9);
}

juce::MemoryBlock blobFromText (const juce::String& text)
{
    juce::MemoryBlock blob;
    juce::XmlElement dummy ("X");
    auto xml = juce::parseXML (text);
    if (xml != nullptr)
        zep::writeStateBlob (*xml, blob);
    return blob;
}

void restore (zep::Processor& processor, const juce::MemoryBlock& blob)
{
    processor.setStateInformation (blob.getData(), static_cast<int> (blob.getSize()));
}

// Everything a restore may change, to compare before and after.
juce::String snapshot (zep::Processor& processor)
{
    juce::String s;
    for (auto* p : processor.getParameters())
        s << dynamic_cast<juce::RangedAudioParameter&> (*p).getParameterID() << "=" << p->getValue() << ";";
    s << "program=" << processor.getCurrentProgram();
    s << ";size=" << static_cast<int> (processor.editorWidth.getValue()) << "x" << static_cast<int> (processor.editorHeight.getValue());
    return s;
}
} // namespace

TEST (StateBlob, HasMagicLengthFieldTrailingZeroAndOneLineXml)
{
    auto processor = makeProcessor (productWithPresets());
    const auto blob = save (*processor);
    const auto* bytes = static_cast<const unsigned char*> (blob.getData());

    ASSERT_GT (blob.getSize(), 9u);
    EXPECT_EQ (std::string (reinterpret_cast<const char*> (bytes), 4), "VC2!");
    const juce::uint32 length = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<juce::uint32> (bytes[7]) << 24);
    EXPECT_EQ (length, blob.getSize() - 9);
    EXPECT_EQ (bytes[blob.getSize() - 1], 0);

    const auto text = blobText (blob);
    EXPECT_TRUE (text.startsWith (R"(<?xml version="1.0" encoding="UTF-8"?> <ZEPSTATE schema="1" engine="" version="1.2.3" width="900" height="560" program="0"><PARAMETERS>)"))
        << text;
    EXPECT_TRUE (text.endsWith ("</PARAMETERS></ZEPSTATE>")) << text;
    EXPECT_FALSE (text.containsChar ('\n'));
    EXPECT_TRUE (text.contains (R"(<PARAM id="bypass" value="0.0"/>)")) << text;

    // A fresh instance lists its parameters in byte-wise order of their IDs.
    const auto first = text.indexOf ("id=\"bypass\""), second = text.indexOf ("id=\"gain\""), third = text.indexOf ("id=\"outputTrimDb\"");
    EXPECT_LT (first, second);
    EXPECT_LT (second, third);
}

TEST (StateBlob, ProductWithoutPresetsWritesNoProgram)
{
    auto processor = makeProcessor (passThroughProduct());
    EXPECT_FALSE (blobText (save (*processor)).contains ("program="));
    EXPECT_EQ (processor->getNumPrograms(), 1);
    EXPECT_EQ (processor->getProgramName (0), "");
}

TEST (StateBlob, RoundTripRestoresEverythingAndSavesTheSameBytes)
{
    auto source = makeProcessor (productWithPresets());
    source->setCurrentProgram (2);
    setParam (*source, "mix", 0.3f);
    setParam (*source, "inputTrimDb", -7.5f);
    setParam (*source, "bypass", 1.0f);
    source->editorWidth = 1000;
    source->editorHeight = 600;
    const auto blob = save (*source);

    auto target = makeProcessor (productWithPresets());
    restore (*target, blob);

    EXPECT_EQ (snapshot (*target), snapshot (*source));
    EXPECT_EQ (target->getCurrentProgram(), 2);
    EXPECT_FLOAT_EQ (value (*target, "mix"), 0.3f);
    EXPECT_EQ (save (*target), blob);
}

TEST (StateBlob, FreshRoundTripKeepsDefaults)
{
    auto source = makeProcessor (productWithPresets());
    auto target = makeProcessor (productWithPresets());
    const auto before = snapshot (*target);
    restore (*target, save (*source));
    EXPECT_EQ (snapshot (*target), before);
    EXPECT_EQ (save (*target), save (*source));
}

TEST (StateBlob, BareParameterStateRestoresParametersAndProgramZero)
{
    auto processor = makeProcessor (productWithPresets());
    processor->setCurrentProgram (1);
    processor->editorWidth = 1111;

    restore (*processor, blobFromText (R"(<PARAMETERS><PARAM id="gain" value="-3.5"/><PARAM id="mode" value="2"/></PARAMETERS>)"));

    EXPECT_EQ (processor->getCurrentProgram(), 0);
    EXPECT_FLOAT_EQ (value (*processor, "gain"), -3.5f);
    EXPECT_FLOAT_EQ (value (*processor, "mode"), 2.0f);
    EXPECT_FLOAT_EQ (value (*processor, "mix"), 1.0f) << "not mentioned: back to its default after preset 1 set 0.5";
    EXPECT_EQ (static_cast<int> (processor->editorWidth.getValue()), 1111) << "editor size is left alone";
}

TEST (StateBlob, ZepStateRestorePaths)
{
    struct Case
    {
        const char* name;
        const char* xml;
        int program;
        float gain;
        int width;
    };
    // Start: program 1 ("Drums / Loud": gain 12), width 900.
    const Case cases[] = {
        { "program 2 without applying it", R"(<ZEPSTATE program="2"><PARAMETERS><PARAM id="gain" value="1"/></PARAMETERS></ZEPSTATE>)", 2, 1.0f, 900 },
        { "program past the end", R"(<ZEPSTATE program="3"/>)", 0, 12.0f, 900 },
        { "negative program", R"(<ZEPSTATE program="-1"/>)", 0, 12.0f, 900 },
        { "program not a number", R"(<ZEPSTATE program="x"/>)", 0, 12.0f, 900 },
        { "missing program", R"(<ZEPSTATE width="640"/>)", 0, 12.0f, 640 },
        { "missing PARAM returns to default", R"(<ZEPSTATE program="1"><PARAMETERS><PARAM id="mix" value="0.5"/></PARAMETERS></ZEPSTATE>)", 1, 0.0f, 900 },
        { "width not a number", R"(<ZEPSTATE program="1" width="wide"/>)", 1, 12.0f, 0 },
        { "unknown PARAM ids are ignored", R"(<ZEPSTATE program="1"><PARAMETERS><PARAM id="zzz" value="5"/><PARAM id="gain" value="-2"/></PARAMETERS></ZEPSTATE>)", 1, -2.0f, 900 },
    };

    for (const auto& c : cases)
    {
        auto processor = makeProcessor (productWithPresets());
        processor->setCurrentProgram (1);
        restore (*processor, blobFromText (c.xml));

        EXPECT_EQ (processor->getCurrentProgram(), c.program) << c.name;
        EXPECT_FLOAT_EQ (value (*processor, "gain"), c.gain) << c.name;
        EXPECT_EQ (static_cast<int> (processor->editorWidth.getValue()), c.width) << c.name;
        EXPECT_EQ (static_cast<int> (processor->editorHeight.getValue()), 560) << c.name;
    }
}

TEST (StateBlob, RestoredValuesReachTheHostVisibleParameters)
{
    auto processor = makeProcessor (productWithPresets());
    restore (*processor, blobFromText (R"(<ZEPSTATE><PARAMETERS><PARAM id="gain" value="6"/><PARAM id="bypass" value="1"/></PARAMETERS></ZEPSTATE>)"));

    auto* gain = processor->parameters.getParameter ("gain");
    EXPECT_FLOAT_EQ (gain->convertFrom0to1 (gain->getValue()), 6.0f);
    EXPECT_EQ (processor->getBypassParameter()->getValue(), 1.0f);
}

TEST (StateBlob, UnreadableBlobsLeaveTheStateUntouched)
{
    auto processor = makeProcessor (productWithPresets());
    processor->setCurrentProgram (1);
    setParam (*processor, "inputTrimDb", 3.0f);
    const auto before = snapshot (*processor);
    const auto good = save (*processor);

    auto withHeader = [] (juce::uint32 length, const std::string& text)
    {
        juce::MemoryBlock blob;
        blob.append ("VC2!", 4);
        const unsigned char field[4] = { static_cast<unsigned char> (length), static_cast<unsigned char> (length >> 8),
                                         static_cast<unsigned char> (length >> 16), static_cast<unsigned char> (length >> 24) };
        blob.append (field, 4);
        blob.append (text.data(), text.size());
        return blob;
    };

    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<PARAMETERS>";
    std::string recursiveEntity = R"(<?xml version="1.0"?><!DOCTYPE a [<!ENTITY e "&e;">]><PARAMETERS><PARAM id="gain" value="&e;"/></PARAMETERS>)";

    std::vector<std::pair<const char*, juce::MemoryBlock>> blobs;
    blobs.emplace_back ("empty", juce::MemoryBlock());
    blobs.emplace_back ("8 bytes", juce::MemoryBlock (good.getData(), 8));
    blobs.emplace_back ("wrong magic", withHeader (5, "<a/>"));
    static_cast<char*> (blobs.back().second.getData())[0] = 'X';
    blobs.emplace_back ("zero length", withHeader (0, "<PARAMETERS/>"));
    blobs.emplace_back ("negative length", withHeader (0x80000000u, "<PARAMETERS/>"));
    blobs.emplace_back ("not xml", withHeader (9, "not xml!!"));
    blobs.emplace_back ("truncated", juce::MemoryBlock (good.getData(), good.getSize() / 2));
    blobs.emplace_back ("other root", withHeader (12, "<OTHER a=\"1\"/>"));
    blobs.emplace_back ("invalid utf-8", withHeader (14, "<PARAMETERS\xff\xfe/>"));
    blobs.emplace_back ("deep nesting", withHeader (static_cast<juce::uint32> (deep.size()), deep));
    blobs.emplace_back ("recursive entity", withHeader (static_cast<juce::uint32> (recursiveEntity.size()), recursiveEntity));

    for (const auto& [name, blob] : blobs)
    {
        restore (*processor, blob);
        EXPECT_EQ (snapshot (*processor), before) << name;
    }

    processor->setStateInformation (nullptr, 100);
    EXPECT_EQ (snapshot (*processor), before) << "null data";
}

TEST (StateBlob, HugeLengthFieldIsCutToTheDataPresent)
{
    auto processor = makeProcessor (productWithPresets());
    const std::string text = R"(<ZEPSTATE program="2"/>)";
    juce::MemoryBlock blob;
    blob.append ("VC2!", 4);
    const unsigned char field[4] = { 0xff, 0xff, 0xff, 0x7f };
    blob.append (field, 4);
    blob.append (text.data(), text.size());

    restore (*processor, blob);
    EXPECT_EQ (processor->getCurrentProgram(), 2);
}

TEST (StateBlob, RandomBytesNeverCrashOrChangeTheState)
{
    auto processor = makeProcessor (productWithPresets());
    const auto good = save (*processor);
    const auto before = snapshot (*processor);
    std::mt19937 random (1234);

    for (int round = 0; round < 300; ++round)
    {
        juce::MemoryBlock blob (good);
        auto* bytes = static_cast<unsigned char*> (blob.getData());
        // Keep the header most of the time so that the parser sees the damage.
        for (int flips = 0; flips < 1 + round % 8; ++flips)
            bytes[8 + random() % (blob.getSize() - 8)] = static_cast<unsigned char> (random());
        if (round % 3 == 0)
            blob.setSize (8 + random() % (blob.getSize() - 8));

        restore (*processor, blob);
        const auto after = snapshot (*processor);
        // A corruption may still be a valid document (e.g. a changed digit); then
        // only its values may change. Restore the original before the next round.
        restore (*processor, good);
        ASSERT_EQ (snapshot (*processor), before) << "round " << round << " after " << after;
    }
}

TEST (Programs, NamesJoinCategoryAndName)
{
    auto processor = makeProcessor (productWithPresets());
    EXPECT_EQ (processor->getNumPrograms(), 3);
    EXPECT_EQ (processor->getProgramName (0), "Init");
    EXPECT_EQ (processor->getProgramName (1), "Drums / Loud");
    EXPECT_EQ (processor->getProgramName (3), "");
    EXPECT_EQ (processor->getProgramName (-1), "");

    processor->changeProgramName (1, "Renamed");
    EXPECT_EQ (processor->getProgramName (1), "Drums / Loud");
}

TEST (Programs, SelectingAProgramSetsEveryProductParameterAndNotTheShells)
{
    auto processor = makeProcessor (productWithPresets());
    setParam (*processor, "inputTrimDb", 5.0f);
    setParam (*processor, "bypass", 1.0f);

    processor->setCurrentProgram (1);
    EXPECT_EQ (processor->getCurrentProgram(), 1);
    EXPECT_FLOAT_EQ (value (*processor, "gain"), 12.0f);
    EXPECT_FLOAT_EQ (value (*processor, "mix"), 0.5f);
    EXPECT_FLOAT_EQ (value (*processor, "mode"), 2.0f);
    EXPECT_FLOAT_EQ (value (*processor, "on"), 0.0f);
    EXPECT_FLOAT_EQ (value (*processor, "inputTrimDb"), 5.0f);
    EXPECT_FLOAT_EQ (value (*processor, "bypass"), 1.0f);

    // Unlisted parameters return to their defaults; the later of two pairs wins.
    processor->setCurrentProgram (2);
    EXPECT_FLOAT_EQ (value (*processor, "gain"), -6.0f);
    EXPECT_FLOAT_EQ (value (*processor, "mix"), 1.0f);
    EXPECT_FLOAT_EQ (value (*processor, "mode"), 1.0f);
    EXPECT_FLOAT_EQ (value (*processor, "on"), 1.0f);
}

TEST (Programs, OutOfRangeIndexesAreIgnored)
{
    auto processor = makeProcessor (productWithPresets());
    processor->setCurrentProgram (1);

    for (int index : { 3, -1, 1000 })
    {
        processor->setCurrentProgram (index);
        EXPECT_EQ (processor->getCurrentProgram(), 1) << index;
        EXPECT_FLOAT_EQ (value (*processor, "gain"), 12.0f) << index;
    }

    auto withoutPresets = makeProcessor (passThroughProduct());
    setParam (*withoutPresets, "gain", 4.0f);
    withoutPresets->setCurrentProgram (0);
    EXPECT_FLOAT_EQ (value (*withoutPresets, "gain"), 4.0f);
}
