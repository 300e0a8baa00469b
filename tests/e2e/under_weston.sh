#!/usr/bin/env bash
# Runs a command on the Wayland platform under a headless weston of its own.
#     under_weston.sh [--size WxH] COMMAND ARGS...
# Exit 77 (skipped) without weston or Qt's Wayland plugin.
set -euo pipefail
size=1280x1024
if [[ "${1:-}" == --size ]]; then size="$2"; shift 2; fi
command -v weston >/dev/null || { echo "weston is not installed"; exit 77; }
runtime="$(mktemp -d)"
chmod 700 "$runtime"
socket="kavrilon-$$"
XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --socket="$socket" \
    --width="${size%x*}" --height="${size#*x}" --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston=$!
trap 'kill "$weston" 2>/dev/null; wait "$weston" 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 100); do [[ -S "$runtime/$socket" ]] && break; sleep 0.1; done
[[ -S "$runtime/$socket" ]] || { cat "$runtime/weston.log"; exit 1; }
XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland "$@"
