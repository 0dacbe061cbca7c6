#pragma once

// Text conversions that hosts show for float parameters, and the skew rule
// that places a chosen value at mid travel.

#include <juce_core/juce_core.h>

namespace zep
{

/** "+3.5", "-24.0", "0.0": one decimal, sign shown, halves rounded away from zero. */
juce::String decibelsToText (float value);

/** Reads "+6 dB", "-30", "loud" (0): a leading decimal number after dropping foreign characters. */
float textToDecibels (const juce::String& text);

/** "40" for 0.4: the nearest whole percentage, halves to even, no percent sign. */
juce::String fractionToPercentText (float value);

/** Reads "40%", "+40", "150" as 0.4, 0.4, 1.5 (the parameter limits the result). */
float percentTextToFraction (const juce::String& text);

/** The skew that puts min + centre * (max - min) at mid travel; 1 (linear) when
    centre is approximately 1, or when the centre gives no usable positive skew. */
float skewForCentre (float min, float max, float centre);

} // namespace zep
