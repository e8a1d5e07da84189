#!/usr/bin/env bash
# Measures quellhart-cli against the plain file tools on large generated saves.
#   bench/run.sh [RUNS]      (default 7 runs per figure; medians are printed)
# Not part of ./test.sh: it takes a few minutes and its figures depend on the disk.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}

scripts/ensure-packages.sh cmake make g++ libgtest-dev nlohmann-json3-dev qt6-base-dev libgl-dev \
    libbenchmark-dev time bc xvfb xauth
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQH_BUILD_BENCH=ON -DQH_BUILD_GUI=ON >/dev/null
cmake --build build-release -j"$(nproc)" \
    --target quellhart-cli make-bench-save time-run glob-page-refill-bench startup-probe >/dev/null
cli=build-release/cli/quellhart-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Median wall time in seconds of running "$@" $runs times; the function named in
# $prepare (if any) runs before each, untimed, and the disk is synced so that no run
# pays for the writes of the one before.
prepare=true
median_seconds() {
    local times=()
    for _ in $(seq "$runs"); do
        "$prepare"
        sync
        times+=("$(build-release/bench/time-run "$@")")
    done
    printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}

# Peak resident memory in MiB of one run of "$@".
peak_mib() {
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1 | awk '{printf "%.1f", $1/1024}'
}

globals=()
for i in $(seq 0 999); do globals+=(--global "var$i=$i.5"); done

printf '%-8s %-34s %10s %10s %8s %s\n' size measure quellhart baseline ratio goal
for mib in 64 256; do
    save="$work/bench$mib.ess"
    build-release/bench/make-bench-save "$save" "$mib"
    cat "$save" >/dev/null  # warm the page cache for both sides alike

    show=$(median_seconds "$cli" show "$save")
    cat_time=$(median_seconds sh -c "cat '$save' > /dev/null")
    printf '%-8s %-34s %9.3fs %9.3fs %7.2fx %s\n' "${mib}MiB" "show vs cat" "$show" "$cat_time" \
        "$(echo "$show / $cat_time" | bc -l)" "<= 1.5x"

    fresh_copy() { cp "$save" "$work/edit.ess" && rm -f "$work/edit.bak" "$work/copy.ess"; }
    prepare=fresh_copy
    set_time=$(median_seconds "$cli" set "$work/edit.ess" --name "Benchmarked" "${globals[@]}" --yes)
    copy=$(median_seconds cp "$save" "$work/copy.ess")
    # set syncs the new save to disk before it replaces the old one; cp does not.
    copy_sync=$(median_seconds sh -c "cp '$save' '$work/copy.ess' && sync '$work/copy.ess'")
    prepare=true
    printf '%-8s %-34s %9.3fs %9.3fs %7.2fx %s\n' "${mib}MiB" "set (name + 1000 globals) vs cp" \
        "$set_time" "$copy" "$(echo "$set_time / $copy" | bc -l)" "<= 2x"
    printf '%-8s %-34s %9.3fs %9.3fs %7.2fx\n' "${mib}MiB" "set vs cp + sync of the copy" \
        "$set_time" "$copy_sync" "$(echo "$set_time / $copy_sync" | bc -l)"

    cp "$save" "$work/edit.ess" && rm -f "$work/edit.bak"
    printf '%-8s %-34s %9sM %9sM\n' "${mib}MiB" "peak memory show / set" \
        "$(peak_mib "$cli" show "$save")" \
        "$(peak_mib "$cli" set "$work/edit.ess" --name "Benchmarked" "${globals[@]}" --yes)"
    rm -f "$save" "$work"/edit.* "$work"/copy.ess
done
echo "goal: peak memory <= 32 MiB for the 256 MiB save"

echo
echo "== Editor window"
# Start-up: from before the process starts to the main window shown and painted, in a
# real X window (Xvfb).
startup_once() {
    xvfb-run -a sh -c 's=$(date +%s.%N); e=$(build-release/bench/startup-probe 2>/dev/null); echo "$e - $s" | bc -l'
}
startups=$(for _ in $(seq "$runs"); do startup_once; done | sort -g)
printf 'start-up to the shown main window, median of %s: %.3fs (goal < 0.5s)\n' "$runs" \
    "$(echo "$startups" | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')"
QT_QPA_PLATFORM=offscreen build-release/bench/glob-page-refill-bench --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true 2>/dev/null | grep -E "median"
echo "goal: Global Variables page refill with 1000 globals < 100 ms"
