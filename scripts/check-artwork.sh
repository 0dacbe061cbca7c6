#!/usr/bin/env bash
# Regenerates every panel image into a scratch folder and fails unless the
# committed images are byte-identical: the generator stays the source of truth.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

/usr/bin/python3 "$root/assets/generator/generate.py" --out "$scratch" >/dev/null

if ! diff -r "$root/assets/images" "$scratch" >/dev/null; then
    echo "check-artwork: committed images differ from the generator's output:" >&2
    diff -rq "$root/assets/images" "$scratch" >&2 || true
    echo "run 'make artwork' and commit the result" >&2
    exit 1
fi
echo "check-artwork: all $(find "$scratch" -name '*.png' | wc -l) images match the generator"
