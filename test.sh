#!/usr/bin/env bash
# Installs what is missing, builds everything, runs every test, then runs the
# core tests again under address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
nemor_dependencias

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)

cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNEMOR_SANITIZE=ON -DNEMOR_GUI=OFF >/dev/null
cmake --build build-san
(cd build-san && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2)
