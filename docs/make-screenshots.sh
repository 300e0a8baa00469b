#!/usr/bin/env bash
# Takes the guide's pictures again from the program in BUILD_DIR (build by
# default) under Xvfb and openbox, into docs/images.
#     docs/make-screenshots.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
python3 "$here/screenshots.py" --program "$build/src/app/kavrilon" --output "$here/images"
rm -rf "$here/images/.work"
