#include "shell/ValueText.h"

#include <cmath>
#include <limits>

namespace zep
{
namespace
{
    // Keeps the characters in `allowed`, then reads an optional sign, digits, a
    // point and digits from the start; reading stops at the first character that
    // does not fit. Nothing readable gives 0.
    double readLeadingNumber (const juce::String& text, const char* allowed)
    {
        const auto kept = text.retainCharacters (allowed);
        auto p = kept.getCharPointer();
        juce::String number;

        if (*p == '+' || *p == '-')
            number += *p++;

        while (juce::CharacterFunctions::isDigit (*p))
            number += *p++;

        if (*p == '.')
        {
            number += *p++;

            while (juce::CharacterFunctions::isDigit (*p))
                number += *p++;
        }

        return number.getDoubleValue();
    }
} // namespace

juce::String decibelsToText (float value)
{
    const float tenths = std::round (value * 10.0f);
    const float d = tenths / 10.0f;

    if (d == 0.0f)
        return "0.0";

    // JUCE formats in the classic locale, whatever locale the host has set.
    const juce::String digits (static_cast<double> (d), 1);
    return d > 0.0f ? "+" + digits : digits;
}

float textToDecibels (const juce::String& text)
{
    return static_cast<float> (readLeadingNumber (text, "+-.0123456789"));
}

juce::String fractionToPercentText (float value)
{
    const float percent = value * 100.0f;
    return juce::String (static_cast<long long> (std::nearbyint (percent)));
}

float percentTextToFraction (const juce::String& text)
{
    return static_cast<float> (readLeadingNumber (text, "-.0123456789")) / 100.0f;
}

float skewForCentre (float min, float max, float centre)
{
    const float distanceFromOne = std::abs (centre - 1.0f);
    const bool nearlyOne = distanceFromOne <= std::numeric_limits<float>::min()
                        || distanceFromOne <= std::max (1.0f, std::abs (centre)) * std::numeric_limits<float>::epsilon();

    if (nearlyOne)
        return 1.0f;

    const float centreValue = min + centre * (max - min);
    const float skew = -0.69314718f / std::log ((centreValue - min) / (max - min));

    // A centre outside (0, 1) gives no positive skew; a linear range is the safe reading.
    if (! std::isfinite (skew) || skew <= 0.0f)
        return 1.0f;

    return skew;
}

} // namespace zep
