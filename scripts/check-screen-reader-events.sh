#!/usr/bin/env bash
# What a screen reader hears as a player opens a save, chooses variables with the
# arrow keys, confirms a change and restores the backup: the editor under Xvfb and openbox, in a session
# bus of its own with the accessibility bus, its events read through AT-SPI.
#   scripts/check-screen-reader-events.sh BUILD_FOLDER
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tests/make-sample-saves" "$work" >/dev/null
cp "$work/normal.ess" "$work/normal.bak"  # a backup for Restore backup to put back
xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
    /usr/bin/python3 "$(dirname "$0")/check-screen-reader-events.py" \
    "$build/ui/quellhart-editor" "$work/normal.ess" 2>/dev/null
