#include "TestProduct.h"

namespace testing_products
{
namespace
{
    class ConfiguredProduct : public zep::Product
    {
    public:
        ConfiguredProduct (TestProductConfig c, Recorder* r) : config (std::move (c)), recorder (r) {}

        void declareParameters (std::vector<zep::ParamSpec>& specs) override
        {
            specs.insert (specs.end(), config.specs.begin(), config.specs.end());
        }

        void prepare (double rate, int blockSize, int channels) override
        {
            if (recorder == nullptr)
                return;
            ++recorder->prepareCalls;
            recorder->preparedRate = rate;
            recorder->preparedBlockSize = blockSize;
            recorder->preparedChannels = channels;
        }

        void process (juce::AudioBuffer<float>& buffer, const zep::ParamView& view) override
        {
            if (recorder != nullptr)
            {
                ++recorder->processCalls;
                recorder->lastViewValues.clear();
                for (int i = 0; i < static_cast<int> (view.values.size()); ++i)
                    recorder->lastViewValues.push_back (view.get (i));
            }

            if (config.processFn)
                config.processFn (buffer, view);
        }

        void reset() override
        {
            if (recorder != nullptr)
                ++recorder->resetCalls;
        }

        int latencySamples() const override { return config.latency; }
        std::unique_ptr<zep::Panel> createPanel (zep::Context&) override { return nullptr; }
        std::vector<zep::Preset> factoryPresets() const override { return config.presets; }

    private:
        TestProductConfig config;
        Recorder* recorder;
    };

    // The processor asks these for its product while it is being constructed.
    TestProductConfig* pendingConfig = nullptr;
    Recorder* pendingRecorder = nullptr;
} // namespace

std::unique_ptr<zep::Processor> makeProcessor (TestProductConfig config, Recorder* recorder)
{
    pendingConfig = &config;
    pendingRecorder = recorder;
    auto processor = std::make_unique<zep::Processor>();
    pendingConfig = nullptr;
    pendingRecorder = nullptr;
    return processor;
}

zep::ParamSpec floatSpec (const juce::String& id, float min, float max, float def, const juce::String& unit)
{
    zep::ParamSpec spec;
    spec.id = id;
    spec.name = id.toUpperCase();
    spec.kind = zep::ParamKind::Float;
    spec.min = min;
    spec.max = max;
    spec.defaultValue = def;
    spec.unit = unit;
    return spec;
}

zep::ParamSpec choiceSpec (const juce::String& id, juce::StringArray choices, int defaultIndex)
{
    zep::ParamSpec spec;
    spec.id = id;
    spec.name = id.toUpperCase();
    spec.kind = zep::ParamKind::Choice;
    spec.choices = std::move (choices);
    spec.defaultIndex = defaultIndex;
    return spec;
}

zep::ParamSpec boolSpec (const juce::String& id, bool defaultState)
{
    zep::ParamSpec spec;
    spec.id = id;
    spec.name = id.toUpperCase();
    spec.kind = zep::ParamKind::Bool;
    spec.defaultState = defaultState;
    return spec;
}

TestProductConfig passThroughProduct()
{
    TestProductConfig config;
    config.specs = { floatSpec ("gain", -24.0f, 24.0f, 0.0f, "dB"),
                     floatSpec ("mix", 0.0f, 1.0f, 1.0f, "%"),
                     choiceSpec ("mode", { "A", "B", "C" }, 1),
                     boolSpec ("on", true) };
    config.info.name = "Test";
    config.info.version = "1.2.3";
    return config;
}

void setParam (zep::Processor& processor, const juce::String& id, float v)
{
    auto* parameter = processor.parameters.getParameter (id);
    jassert (parameter != nullptr);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (v));
}

float value (zep::Processor& processor, const juce::String& id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

} // namespace testing_products

// The shell's product entry points, answered from the pending test config.
namespace zep
{
ProductInfo productInfo()
{
    return testing_products::pendingConfig != nullptr ? testing_products::pendingConfig->info : ProductInfo {};
}

std::unique_ptr<Product> createProduct()
{
    using namespace testing_products;
    return std::make_unique<ConfiguredProduct> (pendingConfig != nullptr ? *pendingConfig : TestProductConfig {},
                                                pendingRecorder);
}
} // namespace zep
