#pragma once

#include "product/panel/ChassisGeometry.h"

#include <juce_graphics/juce_graphics.h>

namespace vt
{

/** The uniform scale-and-centre mapping of the design space into a component of
    width w and height h: never stretched, spare room split equally. */
struct DesignTransform
{
    float scale = 1.0f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;

    static DesignTransform forSize (int width, int height)
    {
        DesignTransform t;
        t.scale = juce::jmin (static_cast<float> (width) / chassis::kDesignWidth, static_cast<float> (height) / chassis::kDesignHeight);
        t.offsetX = (static_cast<float> (width) - chassis::kDesignWidth * t.scale) / 2.0f;
        t.offsetY = (static_cast<float> (height) - chassis::kDesignHeight * t.scale) / 2.0f;
        return t;
    }

    juce::AffineTransform toAffine() const { return juce::AffineTransform::scale (scale).translated (offsetX, offsetY); }

    juce::Point<float> map (float x, float y) const { return { scale * x + offsetX, scale * y + offsetY }; }

    /** The smallest integer rectangle containing the mapped design rectangle. */
    juce::Rectangle<int> mapToComponent (const chassis::Rect& r) const
    {
        const auto topLeft = map (r.x, r.y);
        const auto bottomRight = map (r.x + r.width, r.y + r.height);
        const int left = static_cast<int> (std::floor (topLeft.x));
        const int top = static_cast<int> (std::floor (topLeft.y));
        return { left, top, static_cast<int> (std::ceil (bottomRight.x)) - left, static_cast<int> (std::ceil (bottomRight.y)) - top };
    }
};

/** Whether the 2x images are drawn: a design unit covers more than one device pixel. */
inline bool useHiResImages (float physicalPixelScale, float designScale)
{
    return physicalPixelScale * designScale > 1.0f;
}

} // namespace vt
