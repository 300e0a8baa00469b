#!/usr/bin/env bash
# Saves a screenshot of every window of the program under Xvfb and openbox,
# at 1280x1024, at 800x600 and at 1280x1024 with the scale factor 2, into
# build/screenshots (or the folder given).
#     tests/e2e/screenshots.sh [BUILD_DIR] [OUTPUT_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
output="${2:-$build/screenshots}"
for size in 1280x1024 800x600; do
    python3 "$here/screenshots.py" --program "$build/src/app/kavrilon" --output "$output" \
        --size "$size"
done
python3 "$here/screenshots.py" --program "$build/src/app/kavrilon" --output "$output" \
    --size 1280x1024 --scale 2
