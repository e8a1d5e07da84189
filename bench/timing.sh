# What the timing scripts share; sourced, from the source root.

# NAME=CLI arguments, one per build compared, into the arrays `names` and `clis`.
read_builds() {
    names=() clis=()
    for build in "$@"; do
        names+=("${build%%=*}")
        clis+=("$(realpath "${build#*=}")")
    done
}
# Builds the release helpers named, quietly.
build_release() {
    cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQH_BUILD_BENCH=ON >/dev/null
    cmake --build build-release -j"$(nproc)" --target "$@" >/dev/null
}
# `work`: a folder of its own for the run's saves, in $FOLDER where that is given
# (another file system), removed when the script ends.
make_work_folder() {
    work=$(mktemp -d "${FOLDER:-${TMPDIR:-/tmp}}/$1.XXXXXX")
    trap 'rm -rf "$work"' EXIT
}
# Timed by a program of its own: timing in the shell would also count bash's work
# on a thousand options, about 2 ms, which is neither side's.
seconds() { build-release/bench/time-run "$@"; }
# "LABEL SECONDS" of one timed run; a run that fails stops the script, never a time.
# (Within `echo "... $(seconds ...)"` a failure would be lost: a command substitution
# inside another command's arguments does not stop a script under `set -e`.)
timed() {
    local label=$1 time
    shift
    time=$(seconds "$@") || { echo "a timed run failed: $*" >&2; exit 1; }
    echo "$label $time"
}
# "median min max" in milliseconds of the seconds on standard input.
summary() { sort -g | awk '{a[NR]=$1*1000} END {printf "%.1f %.1f %.1f\n", a[int((NR+1)/2)], a[1], a[NR]}'; }
# A table cell of a median and its range.
cell() { printf " %s ms (%s-%s) |" "$1" "$2" "$3"; }
