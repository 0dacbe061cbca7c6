#include "shell/StateBlob.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace zep
{
namespace
{
    constexpr juce::uint32 kMagic = 0x21324356; // "VC2!" stored little-endian

    // The deepest element nesting in the text; comments, CDATA, processing
    // instructions and quoted attribute values are skipped. Returns -1 for a
    // document type declaration, which this state format never contains.
    int nestingDepth (const char* text, size_t size)
    {
        int depth = 0, deepest = 0;
        size_t i = 0;

        auto skipPast = [&] (const char* terminator)
        {
            const size_t n = std::strlen (terminator);
            while (i + n <= size && std::memcmp (text + i, terminator, n) != 0)
                ++i;
            i += n;
        };

        while (i < size)
        {
            if (text[i] != '<')
            {
                ++i;
                continue;
            }

            const auto rest = size - i;
            auto startsWith = [&] (const char* s) { return rest >= std::strlen (s) && std::memcmp (text + i, s, std::strlen (s)) == 0; };

            if (startsWith ("<!--"))
                skipPast ("-->");
            else if (startsWith ("<![CDATA["))
                skipPast ("]]>");
            else if (startsWith ("<?"))
                skipPast ("?>");
            else if (startsWith ("<!"))
                return -1;
            else if (startsWith ("</"))
            {
                --depth;
                skipPast (">");
            }
            else
            {
                char quote = 0;
                bool selfClosing = false;

                for (++i; i < size; ++i)
                {
                    const char c = text[i];

                    if (quote != 0)
                    {
                        if (c == quote)
                            quote = 0;
                    }
                    else if (c == '"' || c == '\'')
                        quote = c;
                    else if (c == '>')
                    {
                        selfClosing = text[i - 1] == '/';
                        ++i;
                        break;
                    }
                }

                if (! selfClosing)
                    deepest = std::max (deepest, ++depth);
            }
        }

        return deepest;
    }
} // namespace

void writeStateBlob (const juce::XmlElement& element, juce::MemoryBlock& destination)
{
    destination.reset();
    juce::AudioProcessor::copyXmlToBinary (element, destination);
}

std::unique_ptr<juce::XmlElement> readStateBlob (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 8)
        return nullptr;

    const auto* bytes = static_cast<const char*> (data);

    if (juce::ByteOrder::littleEndianInt (bytes) != kMagic)
        return nullptr;

    const auto storedLength = static_cast<int> (juce::ByteOrder::littleEndianInt (bytes + 4));

    if (storedLength <= 0)
        return nullptr;

    const auto textLength = static_cast<size_t> (std::min (storedLength, sizeInBytes - 8));
    const char* text = bytes + 8;

    if (! juce::CharPointer_UTF8::isValidString (text, static_cast<int> (textLength)))
        return nullptr;

    const auto depth = nestingDepth (text, textLength);

    if (depth < 0 || depth > kMaxStateDepth)
        return nullptr;

    return juce::parseXML (juce::String::fromUTF8 (text, static_cast<int> (textLength)));
}

} // namespace zep
