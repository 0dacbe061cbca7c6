#pragma once

#include <juce_graphics/juce_graphics.h>

namespace vt
{

/** The resource name of a panel image: "vt1x_" or "vt2x_" followed by the file
    name with every "." and "-" replaced by "_". */
juce::String chassisResourceName (const char* file, bool hiRes);

/** The bytes of a named resource, or nullptr (and size 0) for an unknown name. */
const void* chassisResource (const juce::String& resourceName, int& sizeInBytes);

/** The decoded panel image of `file` at 2x (hiRes) or 1x, served from the image
    cache; a null image when no such resource exists or it cannot be decoded. */
juce::Image chassisImage (const char* file, bool hiRes);

} // namespace vt
