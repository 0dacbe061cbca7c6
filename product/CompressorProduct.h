#pragma once

#include "product/engine/FetCompressor.h"
#include "shell/Product.h"

#include <atomic>

namespace client
{

/** The compressor: declares its seven parameters and thirteen presets, maps the
    parameter values to engine settings once per block, runs the engine in
    sub-blocks of at most 32 samples on at most two channels, and publishes the
    block's peak gain reduction for the panel's meter. */
class Product : public zep::Product
{
public:
    Product() = default;
    ~Product() override = default;

    void declareParameters (std::vector<zep::ParamSpec>& specs) override;
    void prepare (double sampleRate, int maxBlockSize, int numChannels) override;
    void process (juce::AudioBuffer<float>& buffer, const zep::ParamView& view) override;
    void reset() override;
    int latencySamples() const override { return 0; }
    std::unique_ptr<zep::Panel> createPanel (zep::Context& context) override;
    std::vector<zep::Preset> factoryPresets() const override;

    /** Writes the engine's per-block settings from the parameter values. */
    void applySettings (const zep::ParamView& view) noexcept;

    /** Raises the published peak to `peakDb` if it is higher (compare-and-swap). */
    void publishPeak (float peakDb) noexcept;

    vt::FetCompressor engine;
    /** Largest applied reduction (dB) since the meter last took it with exchange(0). */
    std::atomic<float> grPeakDb { 0.0f };

    static constexpr int kSubBlock = 32;
};

} // namespace client
