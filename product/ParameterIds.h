#pragma once

namespace client
{

/** The product's parameter IDs, in declaration order: also the order of the
    values in the parameter view and of the pairs in every preset. */
namespace ParamID
{
    inline constexpr const char* input = "fetInput";
    inline constexpr const char* output = "fetOutput";
    inline constexpr const char* attack = "attack";
    inline constexpr const char* release = "release";
    inline constexpr const char* ratio = "ratio";
    inline constexpr const char* mix = "mix";
    inline constexpr const char* clean = "clean";
} // namespace ParamID

/** View indices of the product's parameters. */
enum ParamIndex
{
    kInput = 0,
    kOutput,
    kAttack,
    kRelease,
    kRatio,
    kMix,
    kClean,
    kNumParams
};

} // namespace client
