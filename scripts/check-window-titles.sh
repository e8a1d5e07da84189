#!/usr/bin/env bash
# Starts the editor in a real X server (Xvfb) under a window manager (openbox) and
# checks the title the window manager shows, _NET_WM_NAME, against the main
# window's caption: nothing may be added to it.
#   scripts/check-window-titles.sh EDITOR_BINARY
set -euo pipefail
editor=$(realpath "$1")
expected="Quellhart Savegame Editor 2.1"

run_in_x() {
    openbox >/dev/null 2>&1 &
    sleep 1
    QT_QPA_PLATFORM=xcb "$editor" >/dev/null 2>&1 &
    local pid=$! id=""
    for _ in $(seq 50); do
        # awk reads to the end: stopping early would end xwininfo with SIGPIPE.
        id=$(xwininfo -root -tree | awk -v name="\"$expected" '!found && index($0, name) {print $1; found = 1}')
        [ -n "$id" ] && break
        sleep 0.1
    done
    local title=""
    [ -n "$id" ] && title=$(xprop -id "$id" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
    kill "$pid" 2>/dev/null || true
    if [ "$title" != "$expected" ]; then
        echo "window title: expected \"$expected\", found \"$title\"" >&2
        return 1
    fi
    echo "window title: \"$title\""
}
if [ "${2:-}" = "--inside-x" ]; then
    run_in_x
else
    xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$editor" --inside-x
fi
