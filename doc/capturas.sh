#!/usr/bin/env bash
# Renders the manual's pictures (doc/html/imagenes/*.png) from the program
# itself, offscreen, on the sample trees, with the default options. Run it
# after changing a window, then rebuild: the manual picks the new pictures up.
#   doc/capturas.sh [BUILD]      (default: build)
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$raiz/build}"
cmake --build "$build" --target capturas_manual >/dev/null
tmp=$(mktemp -d)
# The samples from a short folder, whose path the drawing shows.
ejemplos=/tmp/nemor-manual/ejemplos
trap 'rm -rf "$tmp" /tmp/nemor-manual' EXIT
mkdir -p "$ejemplos"
cp "$raiz"/examples/*.nmr "$ejemplos/"
# Default options and a fixed language and separator, whatever the user's,
# and a data folder of its own (no recovery copy among the user's); the
# offscreen platform's notes about what it cannot do are left out.
NEMOR_INI="$tmp/NEMOR.ini" XDG_CONFIG_HOME="$tmp" XDG_DATA_HOME="$tmp" LANG=es_ES.UTF-8 LC_ALL=es_ES.UTF-8 QT_QPA_PLATFORM=offscreen \
  "$build/doc/capturas_manual" "$raiz/doc/html/imagenes" "$ejemplos" 2> >(grep -v '^This plugin does not support' >&2)
