# Shell functions for the checks that look at real windows under X; sourced.

# The id of the first window whose name is $1, waiting up to $2 tenths of a second.
window_named() {
    local id=""
    for _ in $(seq "$2"); do
        # awk reads to the end: stopping early would end xwininfo with SIGPIPE.
        # A window going away meanwhile makes xwininfo fail; the next round asks again.
        id=$({ xwininfo -root -tree 2>/dev/null || true; } |
            awk -v name="\"$1\"" '!found && index($0, name) {print $1; found = 1}')
        [ -n "$id" ] && break
        sleep 0.1
    done
    echo "$id"
}
