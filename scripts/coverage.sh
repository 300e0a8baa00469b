#!/usr/bin/env bash
# Builds with gcov instrumentation, runs the normal test suite and reports how
# much of each layer of the core (workspace, solver, the Qt-free modules) the
# run never executes. Not part of test.sh: it is a measurement, run by hand.
#   bash scripts/coverage.sh [BUILD_DIR]     (default build-coverage)
# Needs lcov (apt-get install lcov). The HTML report lands in BUILD_DIR/html.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-coverage}
export QT_QPA_PLATFORM=offscreen

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAVRILON_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_C_FLAGS=--coverage \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage
cmake --build "$build" -j "$(nproc)"
lcov --quiet --zerocounters --directory "$build"
# A failing test still counts what it ran; the suite's verdict is test.sh's.
ctest --test-dir "$build" -j "$(nproc)" --output-on-failure || true

info="$build/coverage.info"
lcov --quiet --capture --directory "$build" --output-file "$info.all"
lcov --quiet --extract "$info.all" "$PWD/src/1-workspace/*" "$PWD/src/2-solver/*" \
    "$PWD/src/3-modules/*" --output-file "$info"
for layer in 1-workspace 2-solver 3-modules; do
    echo "== $layer"
    lcov --quiet --extract "$info" "$PWD/src/$layer/*" --output-file "$info.$layer"
    lcov --summary "$info.$layer" 2>&1 | grep -E 'lines|functions'
done
echo "== core"
lcov --summary "$info" 2>&1 | grep -E 'lines|functions'
genhtml --quiet "$info" --output-directory "$build/html"
