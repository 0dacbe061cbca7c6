#include "tools/render/AudioFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vrender
{

FileType fileTypeFor (const juce::File& file)
{
    if (file.hasFileExtension ("wav"))
        return FileType::wav;
    if (file.hasFileExtension ("aif;aiff"))
        return FileType::aiff;
    if (file.hasFileExtension ("flac"))
        return FileType::flac;
    return FileType::unknown;
}

juce::String fileTypeName (FileType type)
{
    switch (type)
    {
        case FileType::wav: return "WAV";
        case FileType::aiff: return "AIFF";
        case FileType::flac: return "FLAC";
        case FileType::unknown: break;
    }
    return "unknown";
}

int bitsFor (FileType type, SampleFormat format)
{
    if (type == FileType::unknown)
        return 0;

    switch (format)
    {
        case SampleFormat::automatic: return type == FileType::wav ? 32 : 24;
        case SampleFormat::int16: return 16;
        case SampleFormat::int24: return 24;
        case SampleFormat::float32: return type == FileType::wav ? 32 : 0; // JUCE writes 32-bit WAV as float only
    }
    return 0;
}

juce::String sampleFormatName (FileType type, int bits)
{
    if (type == FileType::wav && bits == 32)
        return "32-bit float";
    return juce::String (bits) + "-bit";
}

std::unique_ptr<juce::AudioFormatReader> openAudioFile (const juce::File& file, Status& status)
{
    const auto quoted = "'" + file.getFullPathName() + "'";

    if (file.isDirectory())
    {
        status = Status::io ("input " + quoted + " is a directory");
        return {};
    }

    if (! file.existsAsFile())
    {
        status = Status::io ("input " + quoted + ": no such file");
        return {};
    }

    if (! file.hasReadAccess())
    {
        status = Status::io ("input " + quoted + ": permission denied");
        return {};
    }

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));

    if (reader == nullptr)
    {
        status = Status::io ("input " + quoted + " is not a readable WAV, AIFF or FLAC file");
        return {};
    }

    status = Status::success();
    return reader;
}

// PendingFile -------------------------------------------------------------------

PendingFile::PendingFile (const juce::File& target)
    : targetFile (target),
      temporaryFile (target.getParentDirectory().getNonexistentChildFile (
          "." + target.getFileNameWithoutExtension() + ".partial-" + juce::String::toHexString (juce::Random().nextInt()),
          target.getFileExtension(), false))
{
}

PendingFile::~PendingFile()
{
    if (! committed)
        temporaryFile.deleteFile();
}

std::unique_ptr<juce::FileOutputStream> PendingFile::openStream (Status& status) const
{
    auto stream = std::make_unique<juce::FileOutputStream> (temporaryFile);

    if (stream->failedToOpen())
    {
        status = Status::io ("cannot write '" + targetFile.getFullPathName() + "': " + stream->getStatus().getErrorMessage());
        return {};
    }

    stream->setPosition (0);
    stream->truncate();
    status = Status::success();
    return stream;
}

Status PendingFile::write (const juce::MemoryBlock& data) const
{
    Status status;
    auto stream = openStream (status);
    if (stream == nullptr)
        return status;

    const bool written = stream->write (data.getData(), data.getSize());
    stream->flush();

    if (! written || stream->getStatus().failed())
        return Status::io ("cannot write '" + targetFile.getFullPathName() + "': " + stream->getStatus().getErrorMessage());

    return Status::success();
}

Status PendingFile::commit()
{
    // rename() replaces the target in one step: a reader sees the old file or the new one, never a mix.
    if (std::rename (temporaryFile.getFullPathName().toRawUTF8(), targetFile.getFullPathName().toRawUTF8()) != 0)
        return Status::io ("cannot replace '" + targetFile.getFullPathName() + "': " + juce::String (std::strerror (errno)));

    committed = true;
    return Status::success();
}

// Writers -----------------------------------------------------------------------

std::unique_ptr<juce::AudioFormatWriter> createAudioWriter (const PendingFile& file, FileType type, double sampleRate,
                                                            int numChannels, int bits, Status& status)
{
    std::unique_ptr<juce::AudioFormat> format;
    int quality = 0;

    switch (type)
    {
        case FileType::wav: format = std::make_unique<juce::WavAudioFormat>(); break;
        case FileType::aiff: format = std::make_unique<juce::AiffAudioFormat>(); break;
        case FileType::flac:
            format = std::make_unique<juce::FlacAudioFormat>();
            quality = 5; // libFLAC's default compression level
            break;
        case FileType::unknown: break;
    }

    if (format == nullptr)
    {
        status = Status::usage ("'" + file.target().getFullPathName() + "': unknown output type");
        return {};
    }

    auto stream = file.openStream (status);
    if (stream == nullptr)
        return {};

    std::unique_ptr<juce::AudioFormatWriter> writer (format->createWriterFor (
        stream.get(), sampleRate, static_cast<unsigned int> (numChannels), bits, {}, quality));

    if (writer == nullptr)
    {
        status = Status::io ("cannot write '" + file.target().getFullPathName() + "' as " + fileTypeName (type) + ", "
                             + sampleFormatName (type, bits) + " at " + juce::String (sampleRate, 0) + " Hz");
        return {};
    }

    stream.release(); // the writer owns the stream now
    status = Status::success();
    return writer;
}

} // namespace vrender
