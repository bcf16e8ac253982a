#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts NEMOR on a tree file,
# by default the sample examples/petroleo.nmr. Without a display it solves the
# tree and draws it to build/<name>.png instead (see scripts/arranca.sh).
set -euo pipefail
# A relative tree path names a file from where run.sh was called, not from here.
if [ $# -ge 1 ] && [ -e "$1" ]; then set -- "$(realpath -- "$1")" "${@:2}"; fi
cd "$(dirname "$0")"
source scripts/deps.sh
nemor_dependencias

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target nemor nemor-cli

exec scripts/arranca.sh build "$@"
