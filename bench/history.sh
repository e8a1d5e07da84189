#!/usr/bin/env bash
# What keeping earlier versions costs.
#   - `quellhart-cli set` with versions kept (the default) against the same with none
#     (QUELLHART_HISTORY_KEEP=0), at 16 and 64 MiB, each commit replacing an existing
#     backup, taking turns round by round; the goal is at most 1.05x, since a version
#     moves by rename.
#   - `quellhart-cli history --json` over 20 versions of a 16 MiB save, warm (each
#     version is loaded once, to say what changed); the goal is under 1 s.
#   bench/history.sh [ROUNDS]        (7 unless given)
#   FOLDER=/mnt/xfs bench/history.sh  # the saves in another file system
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-7}
source bench/timing.sh
build_release make-bench-save time-run quellhart-cli
cli=build-release/cli/quellhart-cli
make_work_folder history-bench

echo "| save | set, none kept | set, versions kept | kept / none |"
echo "|---|---|---|---|"
for mib in 16 64; do
    build-release/bench/make-bench-save "$work/save.ess" "$mib"
    : >"$work/times"
    for round in $(seq "$rounds"); do
        for keep in 0 20; do
            # A save with a backup that the commit replaces (and, kept, moves).
            cp "$work/save.ess" "$work/edit.ess" && cp "$work/save.ess" "$work/edit.bak"
            rm -rf "$work/edit.history" && sync
            QUELLHART_HISTORY_KEEP=$keep timed "$keep" "$cli" set "$work/edit.ess" \
                --global "var1=$round.5" --yes
        done
    done >>"$work/times"
    read -r none nlo nhi < <(grep '^0 ' "$work/times" | awk '{print $2}' | summary)
    read -r kept klo khi < <(grep '^20 ' "$work/times" | awk '{print $2}' | summary)
    echo "| $mib MiB | $none ms ($nlo-$nhi) | $kept ms ($klo-$khi) |" \
        "$(echo "$kept $none" | awk '{printf "%.3fx", $1 / $2}') |"
done

build-release/bench/make-bench-save "$work/save.ess" 16
cp "$work/save.ess" "$work/list.ess"
for i in $(seq 22); do "$cli" set "$work/list.ess" --global "var1=$i.5" --yes >/dev/null; done
"$cli" history "$work/list.ess" --json >/dev/null  # warm
: >"$work/times"
for _ in $(seq "$rounds"); do seconds "$cli" history "$work/list.ess" --json >>"$work/times"; done
versions=$("$cli" history "$work/list.ess" --json | grep -o '"version":' | wc -l)
read -r med lo hi < <(summary <"$work/times")
echo
echo "history --json, $versions versions of a 16 MiB save, warm: $med ms ($lo-$hi)"
