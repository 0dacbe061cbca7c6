#include "editor/Editor.h"

namespace zep
{

Editor::Editor (Processor& p)
    : juce::AudioProcessorEditor (p), processor (p), theme (p.info.theme)
{
    Context context { processor.parameters, processor.info };
    panel = processor.product->createPanel (context);

    if (panel != nullptr)
        addAndMakeVisible (*panel);

    setSize (static_cast<int> (processor.editorWidth.getValue()), static_cast<int> (processor.editorHeight.getValue()));
}

Editor::~Editor() = default;

void Editor::paint (juce::Graphics& g)
{
    g.fillAll (theme.background);
    g.setColour (theme.wellFill);
    g.fillRoundedRectangle (getLocalBounds().reduced (8).toFloat(), theme.cornerRadius);
}

void Editor::resized()
{
    if (panel != nullptr)
        panel->setBounds (getLocalBounds().reduced (8));

    processor.editorWidth = getWidth();
    processor.editorHeight = getHeight();
}

} // namespace zep
