#pragma once

// The contract between the shell and the one product that plugs into it.

#include "shell/Records.h"
#include "editor/Theme.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

namespace zep
{

/** The product's identity and the editor's settings. Default values are the shell's. */
struct ProductInfo
{
    juce::String name;
    juce::String title;
    juce::String version;
    juce::String subtitle;
    juce::String engine;
    int width = 900;
    int height = 560;
    bool resizable = true;
    double minScale = 0.75;
    double maxScale = 1.5;
    bool showShellControls = true;
    Theme theme;
};

/** What a product receives when it builds its panel. Valid only during createPanel. */
struct Context
{
    juce::AudioProcessorValueTreeState& parameters;
    const ProductInfo& info;
};

/** Base of a product's panel. The editor calls refresh() every 33 ms while open. */
class Panel : public juce::Component
{
public:
    virtual void refresh() {}
};

/** The product: everything the shell needs to know about the audio effect it hosts. */
class Product
{
public:
    virtual ~Product() = default;

    /** Appends the product's parameter declarations, in view order. Called once. */
    virtual void declareParameters (std::vector<ParamSpec>& specs) = 0;

    /** Prepares for playback: sample rate, the host's expected block size, channel count (>= 1). */
    virtual void prepare (double sampleRate, int maxBlockSize, int numChannels) = 0;

    /** Processes one block in place on the audio thread (at least one sample). */
    virtual void process (juce::AudioBuffer<float>& buffer, const ParamView& view) = 0;

    /** Clears the audio state. */
    virtual void reset() = 0;

    /** Processing latency in samples; read after every prepare. */
    virtual int latencySamples() const = 0;

    /** Creates the panel for a newly opened editor (message thread); may return null. */
    virtual std::unique_ptr<Panel> createPanel (Context& context) = 0;

    /** The factory presets, offered as host programs. Called once. */
    virtual std::vector<Preset> factoryPresets() const = 0;
};

/** Defined by the product: its identity and editor settings. */
ProductInfo productInfo();

/** Defined by the product: a new product with its default settings. */
std::unique_ptr<Product> createProduct();

} // namespace zep
