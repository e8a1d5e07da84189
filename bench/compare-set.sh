#!/usr/bin/env bash
# Compares `quellhart-cli set` of two builds, and `cp` + `sync` of the copy, on one
# generated save, taking turns round by round so that the disk's state between runs
# falls on all three alike. Prints each one's median.
#   bench/compare-set.sh OLD_CLI NEW_CLI [MIB] [ROUNDS]
# Build the old one from an earlier commit, e.g. with git worktree and
# `cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQH_BUILD_BENCH=ON`.
set -euo pipefail
cd "$(dirname "$0")/.."
old=$(realpath "$1")
new=$(realpath "$2")
mib=${3:-256}
rounds=${4:-9}
cmake --build build-release -j"$(nproc)" --target make-bench-save >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build-release/bench/make-bench-save "$work/save.ess" "$mib"
globals=()
for i in $(seq 0 999); do globals+=(--global "var$i=$i.5"); done

seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
fresh() { cp "$work/save.ess" "$work/edit.ess" && rm -f "$work/edit.bak" "$work/copy.ess" && sync; }
for _ in $(seq "$rounds"); do
    fresh; echo "old $(seconds "$old" set "$work/edit.ess" --name Benchmarked "${globals[@]}" --yes)"
    fresh; echo "new $(seconds "$new" set "$work/edit.ess" --name Benchmarked "${globals[@]}" --yes)"
    fresh; echo "cp+sync $(seconds sh -c "cp '$work/save.ess' '$work/copy.ess' && sync '$work/copy.ess'")"
done >"$work/times"
for who in old new cp+sync; do
    grep "^$who " "$work/times" | awk '{print $2}' | sort -g |
        awk -v who="$who" -v mib="$mib" '{a[NR]=$1} END {printf "%s MiB  %-8s median %.3fs\n", mib, who, a[int((NR+1)/2)]}'
done
