#!/usr/bin/env bash
# Starts the editor in a real X server (Xvfb) under a window manager (openbox) and
# checks what a user would see:
#   scripts/check-editor-in-x.sh EDITOR
#       the title the window manager shows, _NET_WM_NAME, is exactly the main
#       window's caption;
#   scripts/check-editor-in-x.sh EDITOR GOOD_SAVE BAD_SAVE
#       also: a save given on the command line opens (no "Error" box), and a file
#       that is no save brings the "Error" box, as from "OpenFile".
set -euo pipefail
editor=$(realpath "$1")
good=${2:+$(realpath "$2")}
bad=${3:+$(realpath "$3")}
caption="Quellhart Savegame Editor 2.1"

# shellcheck source=scripts/x-windows.sh
source "$(dirname "$0")/x-windows.sh"

# Starts the editor with "$@", waits for its main window, and leaves its process id
# in $pid and the window's id in $main.
start_editor() {
    QT_QPA_PLATFORM=xcb "$editor" "$@" >/dev/null 2>&1 &
    pid=$!
    main=$(window_named "$caption" 50)
    if [ -z "$main" ]; then
        echo "the editor's main window did not appear" >&2
        return 1
    fi
}

# Starts the editor on the file $1: true when an "Error" box comes up within $2 tenths
# of a second.
error_box_for() {
    start_editor "$1"
    local error
    error=$(window_named Error "$2")
    kill "$pid"
    [ -n "$error" ]
}

run_in_x() {
    openbox >/dev/null 2>&1 &
    sleep 1
    start_editor
    local title kind
    title=$(xprop -id "$main" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
    # Its own task-bar entry: an ordinary window, transient for no other.
    kind=$(xprop -id "$main" _NET_WM_WINDOW_TYPE WM_TRANSIENT_FOR _NET_WM_STATE)
    kill "$pid"
    if [ "$title" != "$caption" ]; then
        echo "window title: expected \"$caption\", found \"$title\"" >&2
        return 1
    fi
    if ! grep -q "_NET_WM_WINDOW_TYPE_NORMAL" <<<"$kind" || ! grep -q "WM_TRANSIENT_FOR:  not found" <<<"$kind" ||
        grep -q "SKIP_TASKBAR" <<<"$kind"; then
        echo "the main window has no task-bar entry of its own: $kind" >&2
        return 1
    fi
    echo "window title: \"$title\"; an ordinary window with its own task-bar entry"
    [ -n "$good" ] || return 0

    if error_box_for "$good" 20; then
        echo "opening $good from the command line showed an error" >&2
        return 1
    fi
    if ! error_box_for "$bad" 50; then
        echo "opening $bad from the command line showed no error" >&2
        return 1
    fi
    echo "a save given on the command line opens; a file that is no save is reported"
}

if [ "${4:-}" = "--inside-x" ]; then
    run_in_x
else
    xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$editor" "${good:-}" "${bad:-}" --inside-x
fi
