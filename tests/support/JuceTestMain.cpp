// GoogleTest entry point for tests that use JUCE: the parameter state, timers and
// components need JUCE's message manager, which this initialiser sets up (no
// display is needed).

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
class JuceEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { juce = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
    void TearDown() override { juce.reset(); }

private:
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juce;
};
} // namespace

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    ::testing::AddGlobalTestEnvironment (new JuceEnvironment());
    return RUN_ALL_TESTS();
}
