// The compressor's identity and the factory the shell calls for a new product.

#include "product/CompressorProduct.h"

namespace zep
{

ProductInfo productInfo()
{
    ProductInfo info;
    info.name = "Vantrel";
    info.title = "VANTREL";
    info.version = "0.9.1";
    info.width = 750;
    info.height = 440;
    info.showShellControls = false;

    auto& theme = info.theme;
    theme.background = juce::Colour (0xFF141414);
    theme.headerFill = juce::Colour (0xFF1B1B1C);
    theme.wellFill = juce::Colour (0xFF0D0D0D);
    theme.outline = juce::Colour (0xFF2A2927);
    theme.text = juce::Colour (0xFFD6CFC2);
    theme.textDim = juce::Colour (0xFF8F887D);
    theme.accent = juce::Colour (0xFFF08C46);
    theme.accentDim = juce::Colour (0xFF8A4A24);
    theme.warning = juce::Colour (0xFFF08C46);
    return info;
}

std::unique_ptr<Product> createProduct()
{
    return std::make_unique<client::Product>();
}

} // namespace zep
