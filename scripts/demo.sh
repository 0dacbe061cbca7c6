#!/usr/bin/env bash
# The demonstration that `make demo` runs after building: writes a synthesised
# drum-and-bass loop, renders it through a few factory presets with a level plot
# each (into demo/, which git ignores), installs the plug-ins into the user's
# plug-in folders, and says where everything is.
#
# Usage: scripts/demo.sh [BUILD_DIR]     (default: build; CONFIG=Debug etc. if not Release)

set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}
[[ $build = /* ]] || build=$root/$build
config=${CONFIG:-Release}

fail() { echo "demo: $*" >&2; exit 1; }

[[ -d $build ]] || fail "build directory '$build' does not exist; run 'make build' first"

render=$build/tools/vantrel-render
democlip=$build/tools/vantrel-democlip
for tool in "$render" "$democlip"; do
    [[ -x $tool ]] || fail "'$tool' is missing; build it with 'cmake --build $build --target $(basename "$tool")'"
done

demo=$root/demo
mkdir -p "$demo"
clip=$demo/drums-and-bass.wav

echo "== Demonstration clip"
"$democlip" "$clip"
echo "$clip  (8 s drum loop with bass, stereo 48 kHz)"

presets=("Default" "Drums / Smash Parallel" "Bass / Growl" "Vocal / Clean Leveler")
renders=()

for preset in "${presets[@]}"; do
    # "Drums / Smash Parallel" -> "drums-smash-parallel"
    slug=$(printf '%s' "$preset" | tr '[:upper:]' '[:lower:]' | tr -cs 'a-z0-9' '-' | sed 's/^-//; s/-$//')
    echo
    echo "== $preset"
    "$render" "$clip" "$demo/$slug.wav" --preset "$preset" --plot "$demo/$slug.png"
    renders+=("$demo/$slug.wav" "$demo/$slug.png")
done

# Install the plug-ins where hosts look for them. Formats that were not built are skipped.
artefacts=$build/plugin/Vantrel_artefacts/$config
installed=()
notes=()

install_bundle() { # format, bundle name, destination folder
    local source=$artefacts/$1/$2
    if [[ ! -d $source ]]; then
        notes+=("$1 was not built ($source is missing): skipped")
        return
    fi
    mkdir -p "$3"
    rm -rf "${3:?}/$2"
    cp -R "$source" "$3/"
    installed+=("$1: $3/$2")
}

echo
echo "== Installing plug-ins"
install_bundle VST3 Vantrel.vst3 "$HOME/.vst3"
install_bundle LV2 Vantrel.lv2 "$HOME/.lv2"

standalone=$artefacts/Standalone/Vantrel
if [[ -x $standalone ]]; then
    installed+=("Standalone app (run it from the build): $standalone")
else
    notes+=("Standalone was not built ($standalone is missing)")
fi

for line in "${installed[@]}"; do echo "$line"; done
for line in "${notes[@]+"${notes[@]}"}"; do echo "note: $line"; done

echo
echo "== Where everything is"
echo "clip:     $clip"
for ((i = 0; i < ${#renders[@]}; i += 2)); do
    echo "render:   ${renders[i]}"
    echo "plot:     ${renders[i + 1]}"
done
echo "renderer: $render --help"
