#!/usr/bin/env bash
# Builds the browser edition into the folder OUT: index.html, library.js, app.js, style.css and
# quellhart.js (the save library in WebAssembly, carried inside the script, so that
# the page works from any static web server and from the file system alike), and for
# a served page the service worker that keeps it for offline use, its web app
# manifest and icons.
#   web/build.sh OUT
#   web/build.sh --test-hooks OUT   # for the tests and benchmarks: window.quellhart
set -euo pipefail
cd "$(dirname "$0")/.."
hooks=false
if [ "${1:-}" = --test-hooks ]; then
    hooks=true
    shift
fi
out=$(mkdir -p "$1" && realpath "$1")
build=build-web
# emscripten's own tools need acorn, which Debian keeps outside node's default path.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# (emcmake says the command it runs on standard error: left out.)
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQH_WERROR=ON 2>&1 >/dev/null |
    { grep -v '^configure: ' || true; }
cmake --build "$build" -j"$(nproc)" --target quellhart-web
cp web/index.html web/library.js web/library-worker.js web/style.css web/sw.js web/manifest.webmanifest \
    res/images/icons/quellhart-editor.svg res/images/icons/quellhart-editor-256.png \
    "$build/web/quellhart.js" "$out/"
# The page the tests drive has hooks of their own, which a published page leaves out.
if $hooks; then
    cp web/app.js "$out/"
else
    sed '/BEGIN TEST HOOKS/,/END TEST HOOKS/d' web/app.js >"$out/app.js"
fi
echo "the page is in $out"
