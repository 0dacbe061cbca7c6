// The factory that every plug-in format wrapper calls to create an instance.

#include "shell/Processor.h"

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new zep::Processor();
}
