#!/usr/bin/env bash
# The browser edition's figures: builds the page and a 64 MiB save, then measures in
# headless Chromium (bench/web.mjs). Not part of ./test.sh.
#   bench/web.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh cmake make g++ libgtest-dev emscripten chromium
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQH_BUILD_BENCH=ON >/dev/null
cmake --build build-release -j"$(nproc)" --target make-bench-save >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
web/build.sh --test-hooks "$work/page" >/dev/null
(cd web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
for mib in 64 256; do
    build-release/bench/make-bench-save "$work/save.ess" "$mib"
    node bench/web.mjs "$work/page" "$work/save.ess" "${1:-5}"
done
