#pragma once

// The outcome of one step of the renderer: success, or a one-line message with
// the exit code the program ends with.

#include <juce_core/juce_core.h>

namespace vrender
{

inline constexpr int kExitOk = 0;
inline constexpr int kExitIo = 1;    // a file could not be read, parsed or written
inline constexpr int kExitUsage = 2; // the command line asked for something invalid

struct Status
{
    int exitCode = kExitOk;
    juce::String message;

    bool ok() const noexcept { return exitCode == kExitOk; }

    static Status success() { return {}; }
    static Status usage (const juce::String& text) { return { kExitUsage, text }; }
    static Status io (const juce::String& text) { return { kExitIo, text }; }
};

} // namespace vrender
