#!/usr/bin/env bash
# Builds the browser edition into the folder OUT: index.html, app.js, style.css and
# quellhart.js (the save library in WebAssembly, carried inside the script, so that
# the page works from any static web server and from the file system alike), and for
# a served page the service worker that keeps it for offline use, its web app
# manifest and icons.
#   web/build.sh OUT
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mkdir -p "$1" && realpath "$1")
build=build-web
# emscripten's own tools need acorn, which Debian keeps outside node's default path.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# (emcmake says the command it runs on standard error: left out.)
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQH_WERROR=ON 2>&1 >/dev/null |
    { grep -v '^configure: ' || true; }
cmake --build "$build" -j"$(nproc)" --target quellhart-web
cp web/index.html web/app.js web/style.css web/sw.js web/manifest.webmanifest \
    res/images/icons/quellhart-editor.svg res/images/icons/quellhart-editor-256.png \
    "$build/web/quellhart.js" "$out/"
echo "the page is in $out"
