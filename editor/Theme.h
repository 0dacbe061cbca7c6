#pragma once

#include <juce_graphics/juce_graphics.h>

namespace zep
{

/** Colours and measures of the editor frame and the preset picker. A default
    constructed theme holds the shell's own look; a product overrides the colours. */
struct Theme
{
    juce::Colour background { 0xFF141518 };
    juce::Colour headerFill { 0xFF1B1D21 };
    juce::Colour wellFill { 0xFF0E0F12 };
    juce::Colour outline { 0xFF2B2E34 };
    juce::Colour text { 0xFFF2F3F5 };
    juce::Colour textDim { 0xFF8B9099 };
    juce::Colour accent { 0xFF5FD0C4 };
    juce::Colour accentDim { 0xFF2F6F69 };
    juce::Colour warning { 0xFFE0A341 };
    float cornerRadius = 6.0f;
    float lineWidth = 1.0f;

    juce::Font monoFont() const { return juce::Font (juce::Font::getDefaultMonospacedFontName(), 10.0f, juce::Font::plain); }
    juce::Font labelFont() const { return juce::Font (juce::Font::getDefaultSansSerifFontName(), 11.0f, juce::Font::plain); }
};

} // namespace zep
