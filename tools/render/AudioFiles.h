#pragma once

// Audio file types by extension, reading an input file, and writing an output
// through a hidden temporary file that replaces the target only when complete.

#include "tools/render/Options.h"
#include "tools/render/Status.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

namespace vrender
{

enum class FileType
{
    unknown,
    wav,
    aiff,
    flac,
};

/** The type chosen by the file's extension (.wav, .aif, .aiff, .flac; any case). */
FileType fileTypeFor (const juce::File& file);

/** "WAV", "AIFF", "FLAC". */
juce::String fileTypeName (FileType type);

/** The bit depth for the requested sample format, 0 when the type cannot store it.
    `automatic` gives 32-bit float for WAV and 24-bit for AIFF and FLAC. */
int bitsFor (FileType type, SampleFormat format);

/** "32-bit float", "24-bit", "16-bit". */
juce::String sampleFormatName (FileType type, int bits);

/** Opens a WAV, AIFF or FLAC file for reading. */
std::unique_ptr<juce::AudioFormatReader> openAudioFile (const juce::File& file, Status& status);

/** A file written under a hidden temporary name in the target's directory and
    renamed over the target by commit(). Destroyed uncommitted, it deletes the
    temporary file and leaves the target as it was. */
class PendingFile
{
public:
    explicit PendingFile (const juce::File& target);
    ~PendingFile();

    const juce::File& target() const noexcept { return targetFile; }
    const juce::File& temporary() const noexcept { return temporaryFile; }

    /** A stream on the temporary file (truncated), or null with an error naming the target. */
    std::unique_ptr<juce::FileOutputStream> openStream (Status& status) const;

    /** Writes the whole block to the temporary file. */
    Status write (const juce::MemoryBlock& data) const;

    /** Atomically replaces the target with the temporary file. */
    Status commit();

private:
    juce::File targetFile;
    juce::File temporaryFile;
    bool committed = false;

    JUCE_DECLARE_NON_COPYABLE (PendingFile)
};

/** A writer for `type` on the pending file's temporary file. */
std::unique_ptr<juce::AudioFormatWriter> createAudioWriter (const PendingFile& file, FileType type, double sampleRate,
                                                            int numChannels, int bits, Status& status);

} // namespace vrender
