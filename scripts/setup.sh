#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/debian-packages.txt.
# Idempotent: when everything is present it only checks and returns;
# it runs `apt-get update` only when something is missing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

wanted=$(grep -v -E '^\s*(#|$)' "$here/debian-packages.txt")
missing=()
for pkg in $wanted; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done

if [[ ${#missing[@]} -eq 0 ]]; then
    echo "setup: all $(echo "$wanted" | wc -w) packages present"
    exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
