#!/usr/bin/env bash
# The editor's CPU time while it shows a save and nothing happens, for each build
# given: the window up (offscreen), a save open, then IDLE_SECONDS of idling measured
# from the process's own counters (user + system time in /proc). A watcher that
# polled, or a timer left running, shows here; one the system wakes only on a change
# costs nothing.
#   bench/idle-cpu.sh NAME=EDITOR [NAME=EDITOR ...]   (IDLE_SECONDS=60 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/timing.sh
idle=${IDLE_SECONDS:-60}
build_release make-bench-save
make_work_folder idle-cpu
build-release/bench/make-bench-save "$work/idle.ess" 16 >/dev/null
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
printf "| build | CPU over %s s idle, a 16 MiB save open |\n|---|---|\n" "$idle"
for build in "$@"; do
    name=${build%%=*} editor=$(realpath "${build#*=}")
    QT_QPA_PLATFORM=offscreen "$editor" "$work/idle.ess" >/dev/null 2>&1 &
    pid=$!
    sleep 5  # the window up and the save loaded
    before=$(ticks "$pid")
    sleep "$idle"
    after=$(ticks "$pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    printf "| %s | %s ms |\n" "$name" "$(((after - before) * 1000 / hz))"
done
