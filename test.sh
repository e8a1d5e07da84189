#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)

scripts/ensure-packages.sh cmake make g++ libgtest-dev nlohmann-json3-dev qt6-base-dev libgl-dev
scripts/ensure-locale.sh de_DE.UTF-8

echo "== Build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQH_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
