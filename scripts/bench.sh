#!/usr/bin/env bash
# Builds and runs the benchmarks: time per stereo frame with Google Benchmark,
# then instructions per frame with callgrind (stable on noisy machines).
set -euo pipefail
build="${1:-build}"

cmake --build "$build" --target engine_bench processor_bench

echo "== Engine (stereo, 48 kHz, 32-sample calls, about 10 dB of gain reduction)"
"$build/bench/engine_bench" --benchmark_min_time=1
echo
echo "== Whole processor block (48 kHz, 512 frames, stereo)"
"$build/bench/processor_bench" --benchmark_min_time=1

# Instructions in the fixed-work function only (callgrind's --toggle-collect),
# divided by the number of frames it processes.
instructions_per_frame() {
    local frames=$1; shift
    local out
    out=$(mktemp)
    valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='*runFixed*' "$@" >/dev/null 2>&1
    local total
    total=$(grep -E '^(summary|totals):' "$out" | head -n 1 | awk '{print $2}')
    rm -f "$out"
    echo "$total / $frames" | bc -l
}

echo
echo "== Instructions per stereo frame (callgrind)"
for mode in colour clean all; do
    printf 'engine %-7s %8.1f instructions/frame\n' "$mode" "$(instructions_per_frame 48000 "$build/bench/engine_bench" --callgrind "$mode")"
done
printf 'processor      %8.1f instructions/frame\n' "$(instructions_per_frame 96000 "$build/bench/processor_bench" --callgrind)"
