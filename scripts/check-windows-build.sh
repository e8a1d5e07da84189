#!/usr/bin/env bash
# Builds the save library, quellhart-cli and their tests for 64-bit Windows, runs the
# tests under Wine, and checks that the Windows program's `show --json` (its output,
# errors and exit code) equals the Linux one's on every save of a small table.
#   scripts/check-windows-build.sh LINUX_BUILD_FOLDER
set -euo pipefail
cd "$(dirname "$0")/.."
linux_build=$(realpath "$1")
build=build-windows

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DQH_BUILD_GUI=OFF \
    -DQH_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target savefile_tests cli_tests quellhart-cli

# A Wine prefix of its own, made anew inside the build folder.
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all
rm -rf "$WINEPREFIX"
wineboot --init >/dev/null 2>&1 || true

for tests in "$build/tests/savefile_tests.exe" "$build/tests/cli/cli_tests.exe"; do
    if ! wine "$tests" >"$tests.log" 2>&1; then
        grep -E "Failure|FAILED" -A8 "$tests.log" | head -60
        exit 1
    fi
    passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\./\1/p' "$tests.log")
    skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?, listed below:/\1/p' "$tests.log")
    echo "$(basename "$tests") under Wine: $passed passed, ${skipped:-0} skipped (not on Windows)"
done

samples=$(mktemp -d)
trap 'rm -rf "$samples"' EXIT
"$linux_build/tests/make-sample-saves" "$samples"
windows_cli=$(realpath "$build/cli/quellhart-cli.exe")
same=0
for save in "$samples"/*.ess; do
    name=$(basename "$save")
    # The same relative name on both sides, so that the "file" fields match too.
    linux=$(cd "$samples" && { "$linux_build/cli/quellhart-cli" show "$name" --json 2>&1; echo "exit $?"; })
    windows=$(cd "$samples" && { wine "$windows_cli" show "$name" --json 2>&1; echo "exit $?"; })
    if [ "$linux" != "$windows" ]; then
        echo "show --json differs for $name:"
        diff <(echo "$linux") <(echo "$windows") | head -20
        exit 1
    fi
    same=$((same + 1))
done
echo "show --json: Windows and Linux agree on all $same sample saves"
