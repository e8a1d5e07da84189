#!/usr/bin/env bash
# The bash completion of quellhart-cli, driven as bash drives it: file names with a
# space, a quote or a shell pattern stay one word each, and only saves, backups and
# folders are offered.
#   tests/cli/completion-test.sh COMPLETION_FILE
set -euo pipefail
completion=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
touch "with space.ess" "it's [1].bak" "plain.ess" "star*.ess" "notes.txt"
mkdir "a folder"
# shellcheck source=/dev/null
source "$completion"

failed=0
# Completes word `$2` after `quellhart-cli $1`; the words offered, one a line, sorted.
offered() {
    COMP_WORDS=(quellhart-cli "$1" "$2")
    COMP_CWORD=2
    COMPREPLY=()
    _quellhart_cli
    printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
}
expect() {
    local got
    got=$(offered "$1" "$2")
    if [ "$got" != "$3" ]; then
        echo "FAILED: quellhart-cli $1 '$2' offers [$got], not [$3]"
        failed=$((failed + 1))
    fi
}
# The same with bash's extended patterns on and off: a user's shell may have either.
for extglob in -s -u; do
    shopt "$extglob" extglob
    expect show "with" "with space.ess"
    expect show "it" "it's [1].bak"
    expect show "st" "star*.ess"
    expect show "" $'a folder\nit\'s [1].bak\nplain.ess\nstar*.ess\nwith space.ess'
    expect diff "--j" "--json"
    expect restore "--c" "--code-page"
done
echo "completion: $((12 - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
