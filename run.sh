#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts NEMOR, optionally on a tree file.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
nemor_dependencias

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target nemor nemor-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "No hay pantalla disponible (DISPLAY y WAYLAND_DISPLAY vacías): no se puede abrir la ventana de NEMOR." >&2
  exit 1
fi
exec ./build/nemor "$@"
