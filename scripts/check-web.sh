#!/usr/bin/env bash
# Builds the browser edition and checks it:
#   - the save library's tests built for WebAssembly, run under node;
#   - the page as published loads, without the tests' hooks;
#   - the page in headless Chromium (Debian's), driven by playwright-core: every save
#     of a table opened, edited and committed, the download compared with what the
#     Linux quellhart-cli writes; axe-core finds no accessibility fault;
#   - the scenarios every edition runs (tests/scenarios/editions.json), in Chromium
#     and Firefox (Debian's firefox-esr, driven by puppeteer-core), and the page's
#     layout from 320 to 1280 px in both schemes;
#   - the page's JavaScript and its tests linted with ESLint (web/eslint.config.mjs).
#   scripts/check-web.sh LINUX_BUILD_FOLDER
set -euo pipefail
cd "$(dirname "$0")/.."
linux_build=$(realpath "$1")
build=build-web
command -v npm >/dev/null || scripts/ensure-packages.sh npm
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

web/build.sh --test-hooks "$build/page" >/dev/null
cmake --build "$build" -j"$(nproc)" --target savefile_tests >/dev/null
# emscripten's C library keeps an open file by its name, not by the file: a handle
# follows a rename to whatever then has the name, and the commit's look at the old
# save after the exchange sees another file; its locks lock nothing. The page
# commits through the file layer in memory, which the native tests hold to the
# system's files and the page's own test below to quellhart-cli; on emscripten's
# files only what neither renames an open file nor needs a lock runs.
filter='-WriterTest.*:CommitDurability.*:SaveSafetyTest.*:Interleaving.*:MemoryFiles.*'
filter+=':Open.WhatLiesBesideTheSave*:Open.SavesWhoseSiblingNamesMeet*:Recovery.*:History.*'  # commits, links, locks
filter+=':RestoreCheck.*'  # commits
if ! (cd "$build" && node tests/savefile_tests.js --gtest_filter="$filter" >tests/wasm.log 2>&1); then
    grep -E "Failure|FAILED" -A8 "$build/tests/wasm.log" | head -60
    exit 1
fi
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\./\1/p' "$build/tests/wasm.log")
echo "savefile_tests in WebAssembly under node: $passed passed"

(cd web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
# The page's JavaScript and its tests, with ESLint's recommended rules.
(cd web && npx eslint .) && echo "ESLint: the page's JavaScript is clean"
web/build.sh "$build/published" >/dev/null
node web/tests/published.mjs "$build/published"
node web/tests/e2e.mjs "$build/page" "$linux_build/cli/quellhart-cli" \
    "$linux_build/tests/make-sample-saves"
node web/tests/scenarios.mjs "$build/page" "$linux_build/cli/quellhart-cli" \
    "$linux_build/tests/make-sample-saves"
