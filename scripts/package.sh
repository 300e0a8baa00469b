#!/usr/bin/env bash
# Builds the Debian package (Release, Debian's hardening flags, installed
# under /usr) in build-package, or the folder given, and checks it as a
# distribution would: lintian with no error and no warning, the AppStream data,
# the desktop entry with no hint, the manual page with no warning, and the
# file types (a DIMACS file is recognised by name and by content).
#     scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-package}"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DKAVRILON_DEBIAN_FLAGS=ON -DKAVRILON_WERROR=ON -DKAVRILON_BUILD_TESTS=OFF \
    -DKAVRILON_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/kavrilon_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(echo "$build"/kavrilon_*.deb)
echo "built $deb"

failed=0
check() {  # check WHAT COMMAND...: runs COMMAND; any output or a failure fails WHAT
    local what=$1 out
    shift
    if ! out=$("$@" 2>&1) || [[ -n $out ]]; then
        echo "FAILED $what:"
        echo "$out"
        failed=1
    else
        echo "ok $what"
    fi
}

# lintian's informational tags are shown, but only errors and warnings fail
# (lintian's note that it runs as root is no finding).
lintian_quiet() {
    local status=0
    lintian "$@" 2>&1 | grep -v '^running with root privileges is not recommended!$' ||
        status=${PIPESTATUS[0]}
    return "$status"
}
lintian_quiet --display-info "$deb" || true
check "lintian (errors and warnings)" lintian_quiet --fail-on error,warning "$deb"

# The AppStream data together with the desktop entry and icon it names, as
# the package installs them.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
check "appstreamcli validate" sh -c \
    'appstreamcli validate --no-net --no-color packaging/*.metainfo.xml >/dev/null'
check "appstreamcli validate-tree" sh -c \
    "appstreamcli validate-tree --no-net --no-color '$root' >/dev/null"
check "desktop-file-validate" desktop-file-validate packaging/kavrilon.desktop
check "man -l" env LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    sh -c 'man --warnings -E UTF-8 -l -Tutf8 -Z packaging/kavrilon.1 >/dev/null'

# The file types, as a desktop reads them from the package's database.
mime=$(mktemp -d)
trap 'rm -rf "$root" "$mime"' EXIT
mkdir -p "$mime/share/mime/packages" "$mime/files"
cp /usr/share/mime/packages/freedesktop.org.xml "$mime/share/mime/packages/"
cp "$root/usr/share/mime/packages/kavrilon.xml" "$mime/share/mime/packages/"
update-mime-database "$mime/share/mime" 2>/dev/null
cp examples/transport.min examples/TRANSPRT.NDE "$mime/files/"
printf 'c a comment first\np min 2 1\n' >"$mime/files/comment-first"
printf 'p min 2 1\na 1 2 0 1 1\n' >"$mime/files/no-extension"
printf 'c not a problem: p min\n' >"$mime/files/other.txt"
for pair in transport.min:application/x-dimacs-min TRANSPRT.NDE:application/x-kavrilon-nodes \
    comment-first:application/x-dimacs-min no-extension:application/x-dimacs-min \
    other.txt:text/plain; do
    file=${pair%%:*}
    want=${pair#*:}
    got=$(XDG_DATA_DIRS="$mime/share" XDG_DATA_HOME="$mime/none" \
        gio info -a standard::content-type "$mime/files/$file" 2>/dev/null |
        sed -n 's/.*standard::content-type: //p')
    if [[ $got == "$want" ]]; then
        echo "ok file type of $file: $got"
    else
        echo "FAILED file type of $file: $got, expected $want"
        failed=1
    fi
done
exit "$failed"
