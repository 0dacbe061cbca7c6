#pragma once

#include "editor/Theme.h"
#include "shell/Processor.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace zep
{

/** The plug-in's window content: frames the product's panel in a well on the
    theme's background, at the size stored in the processor. */
class Editor : public juce::AudioProcessorEditor
{
public:
    explicit Editor (Processor& processor);
    ~Editor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    Processor& processor;
    const Theme theme;
    std::unique_ptr<Panel> panel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Editor)
};

} // namespace zep
