#!/usr/bin/env bash
# `quellhart-cli set` against the least a commit can cost, a durable copy of the save
# (`cp` and `sync` of the copy), at 1, 16, 64 and 256 MiB with 0, 1 and 1000 changed
# globals (and a changed name), taking turns round by round so that the disk's state
# falls on all alike. Prints a Markdown table of medians with their ranges; with a
# second program, that one's figures too (a build from before a change).
#   bench/set-vs-copy.sh CLI [ROUNDS] [OLD_CLI]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "$1")
rounds=${2:-7}
old=${3:+$(realpath "$3")}
cmake --build build-release -j"$(nproc)" --target make-bench-save >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
fresh() { cp "$work/save.ess" "$work/edit.ess" && rm -f "$work/edit.bak" "$work/copy.ess" && sync; }
# "median (min-max)" of the numbers on standard input.
summary() { sort -g | awk '{a[NR]=$1} END {printf "%.3f %.3f %.3f\n", a[int((NR+1)/2)], a[1], a[NR]}'; }

echo "| save | globals | set | cp + sync | set / (cp + sync) |${old:+ before | before / (cp + sync) |}"
echo "|---|---|---|---|---|${old:+---|---|}"
for mib in 1 16 64 256; do
    build-release/bench/make-bench-save "$work/save.ess" "$mib"
    for count in 0 1 1000; do
        args=(--name Benchmarked --yes)
        for i in $(seq 0 $((count - 1))); do args+=(--global "var$i=$i.5"); done
        : >"$work/times"
        for _ in $(seq "$rounds"); do
            fresh; echo "new $(seconds "$cli" set "$work/edit.ess" "${args[@]}")"
            if [ -n "$old" ]; then fresh; echo "old $(seconds "$old" set "$work/edit.ess" "${args[@]}")"; fi
            fresh; echo "copy $(seconds sh -c "cp '$work/save.ess' '$work/copy.ess' && sync '$work/copy.ess'")"
        done >>"$work/times"
        read -r n nlo nhi < <(grep '^new ' "$work/times" | awk '{print $2}' | summary)
        read -r c clo chi < <(grep '^copy ' "$work/times" | awk '{print $2}' | summary)
        row=$(printf "| %s MiB | %s | %.3f s (%.3f-%.3f) | %.3f s (%.3f-%.3f) | %.2fx |" \
            "$mib" "$count" "$n" "$nlo" "$nhi" "$c" "$clo" "$chi" "$(echo "$n / $c" | bc -l)")
        if [ -n "$old" ]; then
            read -r o olo ohi < <(grep '^old ' "$work/times" | awk '{print $2}' | summary)
            row+=$(printf " %.3f s (%.3f-%.3f) | %.2fx |" "$o" "$olo" "$ohi" "$(echo "$o / $c" | bc -l)")
        fi
        echo "$row"
    done
done
# Peak memory of the largest commit.
fresh
args=(--name Benchmarked --yes)
for i in $(seq 0 999); do args+=(--global "var$i=$i.5"); done
/usr/bin/time -f "%M" -o "$work/peak" "$cli" set "$work/edit.ess" "${args[@]}" >/dev/null 2>&1
echo
echo "peak memory of set, 256 MiB, 1000 globals: $(($(cat "$work/peak") / 1024)) MiB"
