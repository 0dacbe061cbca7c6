#include "tools/render/Renderer.h"

#include "tools/render/LevelPlot.h"
#include "tools/render/ProcessorSetup.h"

#include "product/CompressorProduct.h"
#include "shell/Processor.h"

#include <filesystem>

namespace vrender
{

bool isSameFile (const juce::File& a, const juce::File& b)
{
    namespace fs = std::filesystem;
    const fs::path pa (a.getFullPathName().toStdString());
    const fs::path pb (b.getFullPathName().toStdString());
    std::error_code error;

    if (fs::exists (pa, error) && fs::exists (pb, error))
    {
        const bool same = fs::equivalent (pa, pb, error);
        if (! error)
            return same;
    }

    const auto ca = fs::weakly_canonical (pa, error);
    const auto cb = fs::weakly_canonical (pb, error);
    return ca == cb;
}

namespace
{
    struct OutputPath
    {
        juce::File file;
        juce::String label; // how the command line named it
    };

    Status checkOutputPaths (const Options& options)
    {
        std::vector<OutputPath> outputs { { options.output, "OUT" } };
        if (options.plot != juce::File())
            outputs.push_back ({ options.plot, "--plot" });
        if (options.stateOut != juce::File())
            outputs.push_back ({ options.stateOut, "--save-state" });

        for (size_t i = 0; i < outputs.size(); ++i)
        {
            const auto& [file, label] = outputs[i];
            const auto quoted = label + " '" + file.getFullPathName() + "'";

            if (isSameFile (file, options.input))
                return Status::usage (quoted + " is the input file; choose another output name");

            if (options.stateIn != juce::File() && label != "--save-state" && isSameFile (file, options.stateIn))
                return Status::usage (quoted + " is the --state file; choose another output name");

            for (size_t j = 0; j < i; ++j)
                if (isSameFile (file, outputs[j].file))
                    return Status::usage (quoted + " is also given as " + outputs[j].label);

            if (file.isDirectory())
                return Status::io (quoted + " is a directory");

            const auto directory = file.getParentDirectory();
            if (! directory.isDirectory())
                return Status::io (quoted + ": directory '" + directory.getFullPathName() + "' does not exist");

            if (! directory.hasWriteAccess())
                return Status::io (quoted + ": directory '" + directory.getFullPathName() + "' is not writable");
        }

        return Status::success();
    }

    juce::String describeSettings (zep::Processor& processor, const Options& options)
    {
        juce::StringArray parts;

        if (options.stateIn != juce::File())
            parts.add ("state " + options.stateIn.getFileName());

        if (options.preset.isNotEmpty() || options.stateIn == juce::File())
            parts.add (processor.getProgramName (processor.getCurrentProgram()));

        for (const auto& setting : options.settings)
            parts.add (setting.argument);

        return parts.joinIntoString (", ");
    }

    juce::String channelName (int channels)
    {
        return channels == 1 ? "mono" : "stereo";
    }
} // namespace

RenderResult renderFile (const Options& options, const ProgressCallback& progress)
{
    RenderResult result;
    auto& report = result.report;
    auto fail = [&result] (Status status)
    {
        result.status = std::move (status);
        return std::move (result);
    };

    // Arguments first: a bad preset or value is reported before any file is opened.
    zep::Processor processor;
    ResolvedSettings settings;
    if (auto status = resolveSettings (processor, options, settings); ! status.ok())
        return fail (status);

    if (auto status = checkOutputPaths (options); ! status.ok())
        return fail (status);

    juce::MemoryBlock state;
    if (options.stateIn != juce::File())
        if (auto status = readStateFile (options.stateIn, state); ! status.ok())
            return fail (status);

    Status status;
    auto reader = openAudioFile (options.input, status);
    if (reader == nullptr)
        return fail (status);

    const int channels = static_cast<int> (reader->numChannels);
    const double sampleRate = reader->sampleRate;
    const juce::int64 length = reader->lengthInSamples;

    if (channels != 1 && channels != 2)
        return fail (Status::io ("input '" + options.input.getFullPathName() + "' has " + juce::String (channels)
                                 + " channels; only mono and stereo files can be rendered"));

    if (! (sampleRate >= 1000.0 && sampleRate <= 1.0e6) || length < 0)
        return fail (Status::io ("input '" + options.input.getFullPathName() + "' has an unusable sample rate ("
                                 + juce::String (sampleRate) + " Hz)"));

    // The processor as a host sets it up: layout, then settings, then prepare.
    const auto layoutSet = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (layoutSet);
    layout.outputBuses.add (layoutSet);

    if (! processor.setBusesLayout (layout))
        return fail (Status::io ("the processor refused a " + channelName (channels) + " layout"));

    applySettings (processor, state, settings);

    report.sampleRate = sampleRate;
    report.numChannels = channels;
    report.numSamples = length;
    report.outputType = fileTypeFor (options.output);
    report.bits = bitsFor (report.outputType, options.sampleFormat);
    report.settingsDescription = describeSettings (processor, options);

    PendingFile audioFile (options.output);
    auto writer = createAudioWriter (audioFile, report.outputType, sampleRate, channels, report.bits, status);
    if (writer == nullptr)
        return fail (status);

    const int blockSize = options.blockSize;
    processor.setNonRealtime (true);
    processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
    processor.prepareToPlay (sampleRate, blockSize);

    auto& product = static_cast<client::Product&> (*processor.product);
    product.grPeakDb.exchange (0.0f);

    juce::AudioBuffer<float> input (channels, blockSize);
    juce::AudioBuffer<float> output (channels, blockSize);
    juce::MidiBuffer midi;
    auto& analysis = report.analysis.emplace (sampleRate);

    for (juce::int64 position = 0; position < length;)
    {
        const int n = static_cast<int> (std::min<juce::int64> (blockSize, length - position));

        // Views of exactly n samples on the preallocated buffers: the last block is shorter.
        juce::AudioBuffer<float> in (input.getArrayOfWritePointers(), channels, n);
        juce::AudioBuffer<float> out (output.getArrayOfWritePointers(), channels, n);

        if (! reader->read (&in, 0, n, position, true, true))
            return fail (Status::io ("input '" + options.input.getFullPathName() + "': read error at sample "
                                     + juce::String (position)));

        for (int c = 0; c < channels; ++c)
            out.copyFrom (c, 0, in, c, 0, n);

        processor.processBlock (out, midi);
        analysis.addBlock (in, out, n, product.grPeakDb.exchange (0.0f));

        if (! writer->writeFromAudioSampleBuffer (out, 0, n))
            return fail (Status::io ("cannot write '" + options.output.getFullPathName() + "' (disk full?)"));

        position += n;
        if (progress)
            progress (position, length, sampleRate);
    }

    analysis.finish();
    processor.releaseResources();
    writer.reset(); // writes the header and closes the file

    if (audioFile.temporary().getSize() == 0)
        return fail (Status::io ("cannot write '" + options.output.getFullPathName() + "'"));

    std::optional<PendingFile> plotFile;
    if (options.plot != juce::File())
    {
        plotFile.emplace (options.plot);
        const PlotCaption caption { "Vantrel: " + report.settingsDescription,
                                    options.input.getFileName() + "  " + juce::String (sampleRate, 0) + " Hz "
                                        + channelName (channels) };
        if (auto written = writePng (drawLevelPlot (analysis, caption), *plotFile); ! written.ok())
            return fail (written);
    }

    std::optional<PendingFile> stateFile;
    if (options.stateOut != juce::File())
    {
        juce::MemoryBlock saved;
        processor.getStateInformation (saved);
        stateFile.emplace (options.stateOut);
        if (auto written = stateFile->write (saved); ! written.ok())
            return fail (written);
    }

    // Everything is complete: put the files in place.
    for (auto* file : { &audioFile, plotFile ? &*plotFile : nullptr, stateFile ? &*stateFile : nullptr })
        if (file != nullptr)
            if (auto committed = file->commit(); ! committed.ok())
                return fail (committed);

    return result;
}

} // namespace vrender
