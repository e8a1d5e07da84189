#!/usr/bin/env bash
# Installs what is missing, then checks everything CI checks, in this order:
#   1. the build with warnings as errors (the benchmarks built, not run);
#   2. the sanitizer pass: the save file library's, the command-line tool's and the
#      editor window's tests built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. a one-minute smoke run of the save file fuzzer;
#   4. the layers' includes and the documents' links, formatting (clang-format) and
#      static analysis (clang-tidy; .clang-tidy says which checks and why);
#   5. every test, the editor's headless;
#   6. the desktop files validated, the Debian package built and its programs run
#      from it: the window title and a save from the command line under a real X
#      server and window manager; what a screen reader is told as a player opens a
#      save, chooses variables and confirms a change, read through AT-SPI;
#   7. everything built for Windows: the tests of the library, quellhart-cli and the
#      editor window under Wine, the Windows program's reports compared with the
#      Linux one's, the Windows editor run as a user runs it, and its installer;
#   8. the browser edition: the library's tests in WebAssembly under node, and the
#      page in headless Chromium, its saves compared with quellhart-cli's;
#   9. no operating-system call outside the file layer, the console glue and the
#      window layer's Win32 implementation.
# `./test.sh quick` installs only what the build needs and runs 1 and 5: a
# developer's loop, not what CI runs. `./test.sh linux|windows|web` runs the build
# and one edition's part: linux 2-6 and 9, windows 7, web 8 (the Windows and browser
# checks compare with the Linux build's command-line tool, so the build comes first).
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)
fuzz_seconds=${QH_FUZZ_SECONDS:-60}
quick=false
part=all
case "${1:-}" in
    quick) quick=true ;;
    linux | windows | web) part=$1 ;;
    "") ;;
    *) echo "usage: ./test.sh [quick | linux | windows | web]" >&2; exit 2 ;;
esac
# Whether the run takes in the part named.
want() { [ "$part" = all ] || [ "$part" = "$1" ]; }

build() {
    echo "== Build"
    # The benchmarks are built too (not run: their figures are the machine's), so that
    # they keep up with the code.
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQH_WERROR=ON -DQH_BUILD_GUI=ON \
        -DQH_BUILD_TESTS=ON -DQH_BUILD_BENCH=ON >/dev/null
    cmake --build build -j"$jobs"
}
run_tests() {
    echo "== Tests"
    (cd build && QT_QPA_PLATFORM=offscreen ctest -j"$jobs" --output-on-failure)
}

if $quick; then
    scripts/ensure-packages.sh cmake make g++ libgtest-dev libbenchmark-dev nlohmann-json3-dev libxxhash-dev \
        qt6-base-dev libgl-dev
    scripts/ensure-locale.sh de_DE.UTF-8
    scripts/ensure-locale.sh ru_RU.UTF-8
    build
    run_tests
    exit 0
fi

scripts/ensure-packages.sh cmake make g++ clang clang-tidy clang-format libclang-rt-14-dev libgtest-dev libxxhash-dev \
    libbenchmark-dev nlohmann-json3-dev qt6-base-dev libgl-dev xvfb xauth openbox x11-utils \
    g++-mingw-w64-x86-64-posix wine wine64 fonts-wine nsis xdotool desktop-file-utils appstream libxml2-utils dpkg-dev \
    emscripten chromium firefox-esr at-spi2-core dbus-daemon python3-pyatspi
scripts/ensure-locale.sh de_DE.UTF-8
scripts/ensure-locale.sh ru_RU.UTF-8

build

if want linux; then
    echo "== Sanitizer pass (AddressSanitizer, UndefinedBehaviorSanitizer)"
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQH_SANITIZE=ON -DQH_BUILD_GUI=ON \
        -DQH_WERROR=ON >/dev/null
    cmake --build build-asan -j"$jobs" --target savefile_tests cli_tests quellhart-cli ui_tests
    if ! (cd build-asan && QT_QPA_PLATFORM=offscreen ctest -j"$jobs" --output-on-failure >ctest.log 2>&1); then
        cat build-asan/ctest.log
        exit 1
    fi
    grep -E "tests passed|tests failed" build-asan/ctest.log

    echo "== Fuzzer smoke run (${fuzz_seconds}s)"
    CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQH_FUZZ=ON -DQH_SANITIZE=ON \
        -DQH_BUILD_GUI=OFF >/dev/null
    cmake --build build-fuzz -j"$jobs" --target save-fuzzer make-seed-corpus
    mkdir -p build-fuzz/corpus
    build-fuzz/fuzz/make-seed-corpus build-fuzz/corpus
    if ! build-fuzz/fuzz/save-fuzzer -seed=1 -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix=build-fuzz/ build-fuzz/corpus >build-fuzz/fuzz.log 2>&1; then
        tail -60 build-fuzz/fuzz.log
        exit 1
    fi
    grep -E "^(Done|stat::new_units_added)" build-fuzz/fuzz.log

    echo "== Layers (each includes only itself and those beneath it), and the documents' links"
    python3 scripts/check-layers.py
    python3 scripts/check-links.py

    echo "== Formatting (clang-format)"
    find codepage json savefile cli ui res web tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
        xargs -0 clang-format --dry-run -Werror

    echo "== Static analysis (clang-tidy)"
    # The Windows files are checked by the Windows build, which compiles them.
    find codepage json savefile cli ui res web -name '*.cpp' -not -path 'res/tools/*' -not -name '*Windows.cpp' \
        -not -path 'ui/platform/win32/*' -not -path 'web/node_modules/*' -print0 |
        xargs -0 -P"$jobs" -n4 clang-tidy -p build --quiet 2>&1 | { grep -E "(warning|error):" || true; } |
        tee build/clang-tidy.log
    test ! -s build/clang-tidy.log

    run_tests

    echo "== The manual's usage of quellhart-cli is the program's own"
    diff <(build/cli/quellhart-cli --help | sed -n '/^usage:/,/--help | --version/p') \
        <(sed -n '/^    usage: quellhart-cli/,/--help | --version/p' docs/manual.md | sed 's/^    //')
    echo "the same"

    echo "== Desktop files (no warnings allowed)"
    out=$(desktop-file-validate --warn-kde build/ui/org.quellhart.SavegameEditor.desktop 2>&1)
    [ -z "$out" ] || { echo "$out"; exit 1; }
    out=$(appstreamcli validate --no-net build/ui/org.quellhart.SavegameEditor.metainfo.xml 2>&1) ||
        { echo "$out"; exit 1; }
    ! grep -E '^(E|W):' <<<"$out" || exit 1
    out=$(xmllint --noout res/quellhart-save.xml 2>&1)
    [ -z "$out" ] || { echo "$out"; exit 1; }
    echo "desktop entry, AppStream data and file type: valid"

    echo "== Debian package, its programs under X (Xvfb, openbox)"
    scripts/check-package.sh build

    echo "== What a screen reader hears (AT-SPI, under Xvfb and openbox)"
    scripts/check-screen-reader-events.sh build
fi

if want windows; then
    echo "== Windows build: tests, the editor and its installer under Wine"
    scripts/check-windows-build.sh build
fi

if want web; then
    echo "== Browser edition: the library in WebAssembly, the page in Chromium"
    scripts/check-web.sh build
fi

want linux || exit 0

echo "== Operating-system calls only in the file layer, the console glue and the Win32 windows"
if grep -rlE '#include <(unistd|fcntl|dirent|termios|pty|pthread|windows|io)\.h>|#include <sys/' \
    codepage json savefile cli ui res web --include='*.cpp' --include='*.h' |
    grep -vE '(Posix|Windows)\.cpp$|^ui/platform/win32/Win32\.h$'; then
    echo "the files above call the operating system outside the file layer" >&2
    exit 1
fi
