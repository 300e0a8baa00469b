#!/usr/bin/env bash
# Installs what is missing, checks the formatting of every C++ file, then
# builds and runs every test twice: once in a normal build with warnings as
# errors, once under AddressSanitizer and UndefinedBehaviorSanitizer (there
# without the end-to-end tests, which start the real program under Xvfb and
# openbox and would only be slower). Then runs the two file-reader fuzzers for a
# short, fixed time each over their seeds, and finally builds the Debian package
# and checks it (lintian, AppStream, desktop entry, manual page, file types).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "=== format ==="
# Every C++ file follows .clang-format, as Debian's clang-format 14 reads it.
find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run --Werror

echo "=== normal build ==="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVRILON_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# Saving as an unprivileged user: root may write into any folder and give files
# to anyone, so the saving tests for a read-only folder and for files of
# another owner run as a test user. The build tree may sit where that user
# cannot enter, so the test program runs from a copy in a folder of its own
# under /tmp (not under TMPDIR, which may be root's own).
echo "=== saving as an unprivileged user ==="
if [[ $(id -u) -ne 0 ]]; then
    echo "running unprivileged already: the normal test run covered UnprivilegedSave"
elif ! command -v setpriv >/dev/null; then
    echo "SKIPPED UnprivilegedSave: setpriv is missing"
elif ! id kavtest >/dev/null 2>&1 &&
    ! useradd --system --no-create-home --shell /usr/sbin/nologin kavtest; then
    echo "SKIPPED UnprivilegedSave: the test user kavtest could not be made"
else
    unprivileged=$(mktemp -d /tmp/kavrilon-unprivileged.XXXXXX)
    trap 'rm -rf "$unprivileged"' EXIT
    chmod 755 "$unprivileged"
    cp build/tests/core_tests "$unprivileged/"
    foreign="$unprivileged/foreign"  # files of root in a folder of kavtest
    mkdir "$foreign"
    printf 'old\r\n' >"$foreign/F.NDE"
    printf 'old\r\n' >"$foreign/F.LIN"
    chmod 666 "$foreign/F.NDE" "$foreign/F.LIN"
    chown kavtest "$foreign"
    as_kavtest=(setpriv --reuid="$(id -u kavtest)" --regid="$(id -g kavtest)" --clear-groups
        env HOME="$unprivileged" TMPDIR=/tmp KAVRILON_FOREIGN_FILES="$foreign")
    # Listing the tests fails only when the machine will not let root become
    # the test user or run a program from /tmp (mounted noexec): not a fault
    # of the program.
    if ! (cd "$unprivileged" && "${as_kavtest[@]}" ./core_tests --gtest_list_tests >/dev/null); then
        echo "SKIPPED UnprivilegedSave: core_tests cannot run as kavtest from /tmp"
    else
        unprivileged_status=0
        (cd "$unprivileged" && "${as_kavtest[@]}" ./core_tests \
            --gtest_filter='UnprivilegedSave.*:ProblemFileAccess.AFileWithoutReadPermissionFails' \
            >"$unprivileged/out.txt" 2>&1) || unprivileged_status=$?
        cat "$unprivileged/out.txt"
        if grep -q 'SKIPPED \]' "$unprivileged/out.txt" ||
            ! grep -q 'PASSED  \] [1-9]' "$unprivileged/out.txt"; then
            unprivileged_status=1
        fi
        if [[ $unprivileged_status -ne 0 ]]; then
            echo "UnprivilegedSave failed"
            exit 1
        fi
    fi
    rm -rf "$unprivileged"
    trap - EXIT
fi

# Printing through a real print system: a private CUPS scheduler with CUPS-PDF
# queues (tests/cups/private_cups.sh), its folders under the build folder,
# stopped on every exit. The program itself needs no print server, so its
# packages are installed here rather than by setup.sh.
echo "=== printing through CUPS ==="
cups_folder="$PWD/build/cups"
if [[ $(id -u) -ne 0 ]]; then
    echo "SKIPPED printing through CUPS: the scheduler and the CUPS-PDF backend need root"
else
    cups_missing=()
    for package in cups printer-driver-cups-pdf cups-ipp-utils dbus-daemon; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            cups_missing+=("$package")
    done
    if ((${#cups_missing[@]})); then
        apt-get update -qq || true
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${cups_missing[@]}" || true
    fi
    trap 'bash tests/cups/private_cups.sh stop "$cups_folder"' EXIT
    if ! cups_server=$(bash tests/cups/private_cups.sh start "$cups_folder"); then
        echo "SKIPPED printing through CUPS: the private scheduler could not start"
    else
        CUPS_SERVER=$cups_server KAVRILON_CUPS_OUT="$cups_folder/out" \
            ctest --test-dir build --output-on-failure -L cups
        # print-bench prints to the queue named, or fails: never elsewhere.
        python3 bench/make_problem.py --links 200 --nodes 40 "$cups_folder/BENCH.NDE" >/dev/null
        printed=$(CUPS_SERVER=$cups_server ./build/bench/print-bench --printer kav-plain \
            "$cups_folder/BENCH.NDE" 2>/dev/null)
        echo "$printed"
        grep -q '^printed_to kav-plain$' <<<"$printed"
        if CUPS_SERVER=$cups_server ./build/bench/print-bench --printer kav-reject \
            "$cups_folder/BENCH.NDE" 2>/dev/null; then
            echo "print-bench reported a refused job as printed"
            exit 1
        fi
        # A scheduler that never answers is given up within seconds.
        kill -STOP "$(cat "$cups_folder/hung/cupsd.pid")"
        hung=$(CUPS_SERVER=$cups_folder/hung.sock timeout 30 ./build/bench/print-bench \
            --printer kav-plain "$cups_folder/BENCH.NDE" 2>/dev/null || true)
        kill -CONT "$(cat "$cups_folder/hung/cupsd.pid")"
        echo "$hung"
        grep -q "the print system did not answer" <<<"$hung"
    fi
    bash tests/cups/private_cups.sh stop "$cups_folder"
    trap - EXIT
fi

echo "=== sanitizer build ==="
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAVRILON_WERROR=ON \
    -DKAVRILON_SANITIZE=ON -DKAVRILON_BUILD_BENCH=OFF
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs" --label-exclude e2e

if [[ -f tests/fuzz/CMakeLists.txt ]]; then
    echo "=== fuzzing the file readers ==="
    CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKAVRILON_BUILD_GUI=OFF -DKAVRILON_BUILD_BENCH=OFF -DKAVRILON_BUILD_FUZZ=ON
    cmake --build build-fuzz -j "$jobs" --target fuzz_problem_reader fuzz_dimacs_reader
    ctest --test-dir build-fuzz --output-on-failure -R fuzz
fi

echo "=== packaging ==="
bash scripts/package.sh build-package
