#pragma once

// The binary wrapping of the saved state: a 4-byte magic, the text length, the
// XML text on one line, and a terminating zero byte.

#include <juce_core/juce_core.h>

#include <memory>

namespace zep
{

/** Writes the element as a state blob, replacing the destination's content. */
void writeStateBlob (const juce::XmlElement& element, juce::MemoryBlock& destination);

/** Reads the XML of a state blob. Returns null, without side effects, for anything
    that is not a readable document: too short, no magic, a length of 0 or less,
    text that is not UTF-8 or not well-formed XML. A stored length beyond the data is
    cut to the data present. Documents that declare a DTD, or that nest deeper than
    any state this plug-in writes could (kMaxStateDepth), are refused as well: the
    parser would expand their entities or recurse without bound. */
std::unique_ptr<juce::XmlElement> readStateBlob (const void* data, int sizeInBytes);

inline constexpr int kMaxStateDepth = 64;

} // namespace zep
