#!/usr/bin/env bash
# `quellhart-cli restore` against the least a restore can cost: an exchange of the two
# names and a sync of their folder (bench/ExchangeLimit.cpp), at 16, 64 and 256 MiB,
# the player record at the end of the save (so that a load reads all of it). The save
# and its backup are made by a commit, as a user's are; each restore swaps them, and
# the next swaps them back. Taking turns round by round; medians of the rounds, one
# column pair for each build given (a build from before a change, say).
#   bench/restore-vs-exchange.sh ROUNDS NAME=CLI [NAME=CLI...]
#   FOLDER=/mnt/xfs bench/restore-vs-exchange.sh ...   # the saves in another file system
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=$1
shift
source bench/timing.sh
read_builds "$@"
build_release make-bench-save time-run exchange-limit
make_work_folder restore-vs-exchange

header="| save | exchange + folder sync |"
rule="|---|---|"
for name in "${names[@]}"; do
    header+=" restore, $name | / exchange |"
    rule+="---|---|"
done
echo "$header"
echo "$rule"
for mib in 16 64 256; do
    build-release/bench/make-bench-save "$work/save.ess" "$mib"
    # Each build's pair is made by that build's own commit, so that each finds what
    # its commits leave beside a save.
    for i in "${!clis[@]}"; do
        cp "$work/save.ess" "$work/b$i.ess"
        "${clis[$i]}" set "$work/b$i.ess" --global "var1=1.5" --yes >/dev/null
    done
    cp "$work/save.ess" "$work/x.ess" && cp "$work/save.ess" "$work/x.bak"
    sync
    : >"$work/times"
    for _ in $(seq "$rounds"); do
        for i in "${!clis[@]}"; do
            timed "$i" "${clis[$i]}" restore "$work/b$i.ess" --yes
        done
        timed exchange build-release/bench/exchange-limit "$work/x.ess" "$work/x.bak"
    done >>"$work/times"
    read -r e elo ehi < <(grep '^exchange ' "$work/times" | awk '{print $2}' | summary)
    row="| $mib MiB |$(cell "$e" "$elo" "$ehi")"
    for i in "${!clis[@]}"; do
        read -r n nlo nhi < <(grep "^$i " "$work/times" | awk '{print $2}' | summary)
        row+="$(cell "$n" "$nlo" "$nhi") $(echo "$n $e" | awk '{printf "%.1fx", $1 / $2}') |"
    done
    echo "$row"
    rm -f "$work"/b*.ess "$work"/b*.bak "$work"/x.*
    rm -rf "$work"/b*.history
done
