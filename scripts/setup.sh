#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need,
# only those that are missing. Run as root on Debian 12.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev clang-format
    liblemon-dev libglpk-dev glpk-utils
    libgraphviz-dev graphviz
    poppler-utils fonts-dejavu-core
    python3 xvfb openbox xdotool x11-utils imagemagick weston qt6-wayland
    dbus-daemon at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    lintian appstream desktop-file-utils man-db groff-base shared-mime-info libglib2.0-bin
    libcups2-dev
)

missing=()
for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
