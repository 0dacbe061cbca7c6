// Which declarations become host parameters, in which order, with which labels
// and text conversions; and what the product's parameter view points at.

#include "TestProduct.h"

#include "shell/ValueText.h"

#include <gtest/gtest.h>

using namespace testing_products;

namespace
{
std::vector<juce::String> hostParameterIds (zep::Processor& processor)
{
    std::vector<juce::String> ids;
    for (auto* parameter : processor.getParameters())
        ids.push_back (dynamic_cast<juce::RangedAudioParameter&> (*parameter).getParameterID());
    return ids;
}

juce::RangedAudioParameter& param (zep::Processor& processor, const juce::String& id)
{
    auto* p = processor.parameters.getParameter (id);
    EXPECT_NE (p, nullptr) << id;
    return *p;
}
} // namespace

TEST (ParameterLayout, HostOrderIsProductDeclarationsThenTrimsThenBypass)
{
    auto processor = makeProcessor (passThroughProduct());

    const std::vector<juce::String> expected { "gain", "mix", "mode", "on", "inputTrimDb", "outputTrimDb", "bypass" };
    EXPECT_EQ (hostParameterIds (*processor), expected);
    EXPECT_EQ (processor->specs.size(), 4u) << "the shell's own declarations never enter specs";
}

TEST (ParameterLayout, LabelsComeFromTheUnit)
{
    auto processor = makeProcessor (passThroughProduct());

    EXPECT_EQ (param (*processor, "gain").getLabel(), "dB");
    EXPECT_EQ (param (*processor, "mix").getLabel(), "%");
    EXPECT_EQ (param (*processor, "mode").getLabel(), "");
    EXPECT_EQ (param (*processor, "on").getLabel(), "");
    EXPECT_EQ (param (*processor, "inputTrimDb").getLabel(), "dB");
    EXPECT_EQ (param (*processor, "outputTrimDb").getLabel(), "dB");
    EXPECT_EQ (param (*processor, "bypass").getLabel(), "");
    EXPECT_EQ (param (*processor, "inputTrimDb").getName (64), "INPUT");
    EXPECT_EQ (param (*processor, "bypass").getName (64), "BYPASS");
}

TEST (ParameterLayout, ProductWithoutParametersGetsTheShellsThreeAndAnEmptyView)
{
    TestProductConfig config;
    auto processor = makeProcessor (config);

    const std::vector<juce::String> expected { "inputTrimDb", "outputTrimDb", "bypass" };
    EXPECT_EQ (hostParameterIds (*processor), expected);
    EXPECT_TRUE (processor->parameterView().values.empty());
    EXPECT_EQ (processor->parameterView().get (0), 0.0f);
}

TEST (ParameterLayout, ReservedRepeatedAndUnknownKindDeclarationsAreSkipped)
{
    TestProductConfig config;
    auto kind3 = floatSpec ("ghost", 0.0f, 1.0f, 0.5f);
    kind3.kind = static_cast<zep::ParamKind> (3);

    auto productBypass = boolSpec ("bypass", true);
    productBypass.name = "PRODUCT BYPASS";

    config.specs = { floatSpec ("mix", 0.0f, 1.0f, 0.25f, "%"),
                     productBypass,
                     floatSpec ("mix", -10.0f, 10.0f, 3.0f, "dB"),
                     kind3,
                     floatSpec ("drive", 0.0f, 10.0f, 2.0f) };
    auto processor = makeProcessor (config);

    const std::vector<juce::String> expected { "mix", "drive", "inputTrimDb", "outputTrimDb", "bypass" };
    EXPECT_EQ (hostParameterIds (*processor), expected);
    EXPECT_EQ (processor->specs.size(), 5u) << "skipped declarations stay in specs";

    // The first "mix" declaration wins.
    auto& mix = param (*processor, "mix");
    EXPECT_EQ (mix.getLabel(), "%");
    EXPECT_FLOAT_EQ (mix.convertFrom0to1 (mix.getDefaultValue()), 0.25f);

    // The shell's bypass is the one the host sees.
    EXPECT_EQ (param (*processor, "bypass").getName (64), "BYPASS");
    EXPECT_EQ (processor->getBypassParameter(), processor->parameters.getParameter ("bypass"));
    EXPECT_EQ (processor->getBypassParameter()->getDefaultValue(), 0.0f);

    // View: live pointers only for declarations that own their parameter.
    const auto& view = processor->parameterView();
    ASSERT_EQ (view.values.size(), 5u);
    EXPECT_EQ (view.values[0], processor->parameters.getRawParameterValue ("mix"));
    EXPECT_EQ (view.values[1], nullptr) << "reserved ID";
    EXPECT_EQ (view.values[2], nullptr) << "repeated ID";
    EXPECT_EQ (view.values[3], nullptr) << "kind 3";
    EXPECT_EQ (view.values[4], processor->parameters.getRawParameterValue ("drive"));

    EXPECT_FLOAT_EQ (view.get (0), 0.25f);
    EXPECT_EQ (view.get (1), 0.0f);
    EXPECT_FLOAT_EQ (view.get (4), 2.0f);
    EXPECT_EQ (view.get (-1), 0.0f);
    EXPECT_EQ (view.get (5), 0.0f);
}

TEST (ParameterLayout, ViewFollowsLiveValuesInOwnUnits)
{
    auto processor = makeProcessor (passThroughProduct());
    auto& gain = param (*processor, "gain");
    gain.setValueNotifyingHost (gain.convertTo0to1 (-6.0f));
    param (*processor, "mode").setValueNotifyingHost (1.0f);

    EXPECT_FLOAT_EQ (processor->parameterView().get (0), -6.0f);
    EXPECT_FLOAT_EQ (processor->parameterView().get (2), 2.0f) << "choice index";
    EXPECT_FLOAT_EQ (processor->parameterView().get (3), 1.0f) << "bool as 0/1";
}

TEST (ValueText, DecibelsToText)
{
    const std::pair<float, const char*> cases[] = {
        { 0.0f, "0.0" },    { 0.04f, "0.0" },    { -0.04f, "0.0" },  { 0.05f, "+0.1" },
        { 3.5f, "+3.5" },   { -24.0f, "-24.0" }, { 24.0f, "+24.0" }, { 0.25f, "+0.3" },
        { -0.25f, "-0.3" }, { -0.0f, "0.0" },    { 36.0f, "+36.0" },
    };

    for (const auto& [value, text] : cases)
        EXPECT_EQ (zep::decibelsToText (value), juce::String (text)) << value;
}

TEST (ValueText, PercentToText)
{
    const std::pair<float, const char*> cases[] = {
        { 1.0f, "100" }, { 0.4f, "40" }, { 0.0f, "0" }, { 0.125f, "12" }, { 0.375f, "38" }, { 0.35f, "35" }, { -0.5f, "-50" },
    };

    for (const auto& [value, text] : cases)
        EXPECT_EQ (zep::fractionToPercentText (value), juce::String (text)) << value;
}

TEST (ValueText, TextToValueReadsTheLeadingNumber)
{
    const std::pair<const char*, float> decibels[] = {
        { "+6 dB", 6.0f }, { "-30", -30.0f }, { "loud", 0.0f }, { "-3.25dB", -3.25f }, { "1-2", 1.0f }, { ".5", 0.5f }, { "", 0.0f },
    };
    for (const auto& [text, value] : decibels)
        EXPECT_FLOAT_EQ (zep::textToDecibels (text), value) << text;

    const std::pair<const char*, float> percents[] = {
        { "40%", 0.4f }, { "+40", 0.4f }, { "150", 1.5f }, { "-20 %", -0.2f }, { "x", 0.0f },
    };
    for (const auto& [text, value] : percents)
        EXPECT_FLOAT_EQ (zep::percentTextToFraction (text), value) << text;
}

TEST (ValueText, HostTextEntryIsLimitedByTheParameter)
{
    auto processor = makeProcessor (passThroughProduct());
    auto& trim = param (*processor, "inputTrimDb");
    auto& mix = param (*processor, "mix");

    auto typed = [] (juce::RangedAudioParameter& p, const char* text) { return p.convertFrom0to1 (p.getValueForText (text)); };

    EXPECT_FLOAT_EQ (typed (trim, "+6 dB"), 6.0f);
    EXPECT_FLOAT_EQ (typed (trim, "-30"), -24.0f);
    EXPECT_FLOAT_EQ (typed (trim, "loud"), 0.0f);
    EXPECT_FLOAT_EQ (typed (mix, "40%"), 0.4f);
    EXPECT_FLOAT_EQ (typed (mix, "+40"), 0.4f);
    EXPECT_FLOAT_EQ (typed (mix, "150"), 1.0f);

    EXPECT_EQ (mix.getText (mix.convertTo0to1 (0.35f), 2), "35") << "the host's length limit is ignored";
    EXPECT_EQ (mix.getText (1.0f, 1024), "100");
    EXPECT_EQ (trim.getText (trim.convertTo0to1 (3.5f), 1), "+3.5");
}

TEST (ValueText, SkewPutsTheCentreAtMidTravel)
{
    EXPECT_EQ (zep::skewForCentre (0.0f, 10.0f, 1.0f), 1.0f);
    EXPECT_EQ (zep::skewForCentre (0.0f, 10.0f, 1.0f + 1.0e-7f), 1.0f) << "approximately 1";
    EXPECT_NEAR (zep::skewForCentre (0.0f, 10.0f, 0.5f), 1.0f, 1.0e-6f);
    EXPECT_EQ (zep::skewForCentre (0.0f, 10.0f, 0.0f), 1.0f) << "no usable skew: stays linear";
    EXPECT_EQ (zep::skewForCentre (0.0f, 10.0f, std::numeric_limits<float>::quiet_NaN()), 1.0f);

    auto spec = floatSpec ("time", 20.0f, 2000.0f, 100.0f);
    spec.skewCentre = 0.1f;
    TestProductConfig config;
    config.specs = { spec };
    auto processor = makeProcessor (config);
    auto& time = param (*processor, "time");
    EXPECT_NEAR (time.convertFrom0to1 (0.5f), 20.0f + 0.1f * 1980.0f, 0.01f);
}
