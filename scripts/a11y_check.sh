#!/bin/bash
# Reads the trainer's main window through the real accessibility bus: a
# private D-Bus session, AT-SPI started on it, the window under Xvfb, and
# scripts/a11y_tree.py printing what a screen reader finds.
# Usage: bash scripts/a11y_check.sh [path/to/tonvik]   (needs at-spi2-core,
# Debian's python3-pyatspi for /usr/bin/python3,
# python3-pyatspi, xvfb, dbus)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
tonvik=${1:-$here/../build/bin/tonvik}
exec dbus-run-session -- xvfb-run -a -s '-screen 0 1366x768x24' bash -c '
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
    "$1" --no-journal &
    app=$!
    sleep 3
    status=0
    /usr/bin/python3 "$2/a11y_tree.py" tonvik || status=$?
    kill "$app"
    wait "$app" 2>/dev/null || true
    exit $status
' _ "$tonvik" "$here"
