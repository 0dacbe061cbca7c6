// vantrel-render: runs an audio file through the Vantrel compressor, exactly as a
// host would, and reports levels and gain reduction. See usageText().

#include "tools/render/Options.h"
#include "tools/render/ProcessorSetup.h"
#include "tools/render/Renderer.h"
#include "tools/render/Summary.h"

#include "shell/Processor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>
#include <unistd.h>

int main (int argc, char* argv[])
{
    // Fonts for the plot and the parameter state's timer need JUCE's GUI set-up; no display is opened.
    const juce::ScopedJuceInitialiser_GUI juceSetup;

    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    const auto parsed = vrender::parseArguments (arguments);
    if (! parsed.status.ok())
    {
        std::fprintf (stderr, "vantrel-render: %s\n", parsed.status.message.toRawUTF8());
        return parsed.status.exitCode;
    }

    const auto& options = parsed.options;

    switch (options.command)
    {
        case vrender::Command::help:
            std::fputs (vrender::usageText().toRawUTF8(), stdout);
            return vrender::kExitOk;

        case vrender::Command::listPresets:
        {
            zep::Processor processor;
            std::fputs (vrender::describePrograms (processor).toRawUTF8(), stdout);
            return vrender::kExitOk;
        }

        case vrender::Command::listParams:
        {
            zep::Processor processor;
            std::fputs (vrender::describeParameters (processor).toRawUTF8(), stdout);
            return vrender::kExitOk;
        }

        case vrender::Command::render:
            break;
    }

    std::unique_ptr<vrender::ProgressBar> progressBar;
    if (! options.quiet && isatty (fileno (stderr)))
        progressBar = std::make_unique<vrender::ProgressBar> (stderr);

    const auto result = vrender::renderFile (options, [&] (juce::int64 done, juce::int64 total, double rate)
                                             {
                                                 if (progressBar != nullptr)
                                                     progressBar->update (done, total, rate);
                                             });
    progressBar.reset();

    if (! result.status.ok())
    {
        std::fprintf (stderr, "vantrel-render: %s\n", result.status.message.toRawUTF8());
        return result.status.exitCode;
    }

    if (! options.quiet)
        std::fputs (vrender::formatSummary (options, result.report).toRawUTF8(), stdout);

    return vrender::kExitOk;
}
