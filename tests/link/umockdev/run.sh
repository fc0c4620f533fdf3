#!/bin/sh
# Runs a test program under umockdev-run with the mocked USB printer, or skips (77)
# with the reason when umockdev is not installed.
here=$(dirname "$0")
if ! command -v umockdev-run >/dev/null 2>&1; then
    echo "SKIPPED: umockdev-run is not installed (Debian package umockdev); the USB path on a mocked device tree was not tested"
    exit 77
fi
# The sanitizer runtime need not come first when umockdev's library is preloaded.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
exec umockdev-run --device "$here/usb-printer.umockdev" --script "/dev/usb/lp0=$here/usb-printer.script" -- "$@"
