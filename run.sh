#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure-packages.sh cmake make g++ libxxhash-dev qt6-base-dev libgl-dev
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQH_BUILD_GUI=ON -DQH_BUILD_TESTS=OFF >/dev/null
cmake --build build-run -j"$(nproc)"
exec build-run/ui/quellhart-editor
