#!/usr/bin/env bash
# Installs what is missing, builds everything, runs every test, then builds
# everything again under address and undefined-behaviour sanitizers and runs
# every test there too, the windows' tests included (offscreen), with leak
# detection on.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
nemor_dependencias

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)

cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNEMOR_SANITIZE=ON -DNEMOR_GUI=ON >/dev/null
cmake --build build-san
(cd build-san && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j2)
