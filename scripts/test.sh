#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: once in a
# normal build with warnings as errors, once under AddressSanitizer and
# UndefinedBehaviorSanitizer (there without the end-to-end tests, which start
# the real program under Xvfb and openbox and would only be slower). Finally
# runs the file-reader fuzzer for a short, fixed time over its corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "=== normal build ==="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVRILON_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "=== sanitizer build ==="
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAVRILON_WERROR=ON \
    -DKAVRILON_SANITIZE=ON -DKAVRILON_BUILD_BENCH=OFF
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs" --label-exclude e2e

if [[ -f tests/fuzz/CMakeLists.txt ]]; then
    echo "=== fuzzing the file reader ==="
    CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKAVRILON_BUILD_GUI=OFF -DKAVRILON_BUILD_BENCH=OFF -DKAVRILON_BUILD_FUZZ=ON
    cmake --build build-fuzz -j "$jobs" --target fuzz_problem_reader
    ctest --test-dir build-fuzz --output-on-failure -R fuzz
fi
