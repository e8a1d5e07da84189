#!/usr/bin/env bash
# `quellhart-cli set` against the least a commit can cost: a durable copy of the save
# (`cp` and `sync` of the copy), and the streaming limit (bench/StreamingLimit.cpp:
# one read and one write in 1 MiB blocks, write-back hints every 2 MiB, a sync), at 1, 16, 64 and 256 MiB with 0, 1 and 1000 changed
# globals (and a changed name), taking turns round by round so that the disk's state
# falls on all alike. Prints a Markdown table of medians with their ranges, one
# column pair for each build given (a build from before a change, say).
#   bench/set-vs-copy.sh ROUNDS NAME=CLI [NAME=CLI...]
#   FOLDER=/mnt/xfs bench/set-vs-copy.sh ...   # the saves in another file system
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=$1
shift
source bench/timing.sh
read_builds "$@"
build_release make-bench-save time-run streaming-limit
make_work_folder set-vs-copy

fresh() { cp "$work/save.ess" "$work/edit.ess" && rm -f "$work/edit.bak" "$work/copy.ess" && sync; }

header="| save | globals | cp + sync | limit |"
rule="|---|---|---|---|"
for name in "${names[@]}"; do
    header+=" set, $name | / (cp + sync) | / limit |"
    rule+="---|---|---|"
done
echo "$header"
echo "$rule"
for mib in 1 16 64 256; do
    build-release/bench/make-bench-save "$work/save.ess" "$mib"
    for count in 0 1 1000; do
        args=(--name Benchmarked --yes)
        for i in $(seq 0 $((count - 1))); do args+=(--global "var$i=$i.5"); done
        : >"$work/times"
        for _ in $(seq "$rounds"); do
            for i in "${!clis[@]}"; do
                fresh
                timed "$i" "${clis[$i]}" set "$work/edit.ess" "${args[@]}"
            done
            fresh
            timed copy sh -c "cp '$work/save.ess' '$work/copy.ess' && sync '$work/copy.ess'"
            fresh
            timed limit build-release/bench/streaming-limit "$work/save.ess" "$work/copy.ess"
        done >>"$work/times"
        read -r c clo chi < <(grep '^copy ' "$work/times" | awk '{print $2}' | summary)
        read -r l llo lhi < <(grep '^limit ' "$work/times" | awk '{print $2}' | summary)
        row="| $mib MiB | $count |$(cell "$c" "$clo" "$chi")$(cell "$l" "$llo" "$lhi")"
        for i in "${!clis[@]}"; do
            read -r n nlo nhi < <(grep "^$i " "$work/times" | awk '{print $2}' | summary)
            row+="$(cell "$n" "$nlo" "$nhi") $(echo "$n $c" | awk '{printf "%.2fx", $1 / $2}') |"
            row+=" $(echo "$n $l" | awk '{printf "%.2fx", $1 / $2}') |"
        done
        echo "$row"
    done
done
# Peak memory of the largest commit, by the first build.
fresh
args=(--name Benchmarked --yes)
for i in $(seq 0 999); do args+=(--global "var$i=$i.5"); done
/usr/bin/time -f "%M" -o "$work/peak" "${clis[0]}" set "$work/edit.ess" "${args[@]}" >/dev/null 2>&1
echo
echo "peak memory of set (${names[0]}), 256 MiB, 1000 globals: $(($(cat "$work/peak") / 1024)) MiB"
