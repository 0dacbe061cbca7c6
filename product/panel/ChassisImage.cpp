#include "product/panel/ChassisImage.h"

#include "VantrelPanelImages.h"

namespace vt
{

juce::String chassisResourceName (const char* file, bool hiRes)
{
    return (juce::String (hiRes ? "vt2x_" : "vt1x_") + juce::String (file))
        .replaceCharacter ('.', '_')
        .replaceCharacter ('-', '_');
}

const void* chassisResource (const juce::String& resourceName, int& sizeInBytes)
{
    sizeInBytes = 0;

    // The generated lookup compares name hashes only; insist on the exact name.
    for (int i = 0; i < VantrelPanelImages::namedResourceListSize; ++i)
        if (resourceName == VantrelPanelImages::namedResourceList[i])
            return VantrelPanelImages::getNamedResource (VantrelPanelImages::namedResourceList[i], sizeInBytes);

    return nullptr;
}

juce::Image chassisImage (const char* file, bool hiRes)
{
    int size = 0;
    const void* data = chassisResource (chassisResourceName (file, hiRes), size);

    if (data == nullptr || size <= 4)
        return {};

    return juce::ImageCache::getFromMemory (data, size);
}

} // namespace vt
