#!/usr/bin/env bash
# Installs the built package on a clean Debian 12 root (debootstrap, network
# needed, as root) with apt-get and no recommended packages, then checks it
# there as a user's desktop would use it: the file types and the desktop
# entry that opens them, the program's --help, an example solved from the
# command line, and under Xvfb and openbox (from this machine) an example
# opened as the desktop entry's Exec line does, its picture drawn and its
# results printed to a PDF file. A missing run-time dependency (a Qt or a
# Graphviz plugin, a library) fails it.
#     scripts/check-install.sh [DEB] [ROOT]
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(realpath "${1:-$(echo build-package/kavrilon_*.deb)}")
root="${2:-/var/tmp/kavrilon-bookworm}"
here=$(pwd)

if [[ ! -x $root/usr/bin/apt-get ]]; then
    command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap
    debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 "$@"; }
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")"
# What a desktop has besides: the tools that read file types and entries.
in_root apt-get install -y -qq --no-install-recommends libglib2.0-bin desktop-file-utils
in_root update-desktop-database /usr/share/applications

expect() {  # expect TEXT COMMAND...: the output of COMMAND (in the root) holds TEXT
    local text=$1 out
    shift
    out=$(in_root "$@")
    if [[ $out != *"$text"* ]]; then
        echo "FAILED: '$*' gave no '$text':"
        echo "$out"
        exit 1
    fi
}
examples=/usr/share/kavrilon/examples
for pair in transport.min:application/x-dimacs-min TRANSPRT.NDE:application/x-kavrilon-nodes; do
    expect "content-type: ${pair#*:}" gio info -a standard::content-type "$examples/${pair%%:*}"
    expect "Default application for “${pair#*:}”: kavrilon.desktop" gio mime "${pair#*:}"
done
expect "The guide: /usr/share/doc/kavrilon/guide.md" kavrilon --help
expect "TOTAL COST = 1,020" kavrilon --solve "$examples/TRANSPRT.NDE"
in_root test -s /usr/share/doc/kavrilon/guide.md
in_root test -s /usr/share/man/man1/kavrilon.1.gz
echo "ok: installed, file types, --help, --solve"

# The windows: the root shares this machine's /tmp (the X display's socket
# and the test's folders) and the source tree, for the time of the test.
# Whatever of this was set up is undone on every exit, a failed mount included.
program=
unmount_shared() {
    [[ -z $program ]] || rm -f "$program"
    if mountpoint -q "$root$here"; then umount "$root$here"; fi
    if mountpoint -q "$root/tmp"; then umount -R "$root/tmp"; fi
}
trap unmount_shared EXIT
mkdir -p "$root$here"
mount --rbind /tmp "$root/tmp"
mount --bind -o ro "$here" "$root$here"
program=$(mktemp /tmp/kavrilon-installed.XXXXXX)
cat >"$program" <<WRAPPER
#!/bin/sh
exec chroot "$root" /bin/sh -c 'cd "\$0" && exec kavrilon $examples/transport.min' "\$PWD"
WRAPPER
chmod +x "$program"
python3 tests/e2e/installed_package.py --program "$program" --output build-package/installed
