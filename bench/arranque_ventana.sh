#!/usr/bin/env bash
# Time from launching the program to its main window being mapped, under a
# private Xvfb server: the median of several runs for an empty start, the
# sample examples/petroleo.nmr and the benchmarks' generated 1001-node tree.
# Usage: bench/arranque_ventana.sh [BUILD_DIR] [RUNS]   (defaults: build, 7)
# Needs the targets nemor and modelo_1001 built, and the packages xvfb and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8 # decimal points in the arithmetic, whatever the user's locale
build=${1:-build}
runs=${2:-7}
for herramienta in Xvfb xdotool; do
  command -v "$herramienta" >/dev/null || { echo "Falta $herramienta: apt-get install -y xvfb xdotool" >&2; exit 1; }
done
for programa in "$build/nemor" "$build/bench/modelo_1001"; do
  [ -x "$programa" ] || { echo "Falta $programa: cmake --build $build --target nemor modelo_1001" >&2; exit 1; }
done

tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1366x768x24 3>"$tmp/display" >/dev/null 2>&1 & xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$tmp"' EXIT
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$tmp/display")
# A settings file of its own: no recent files, default options.
export NEMOR_INI=$tmp/NEMOR.ini
"$build/bench/modelo_1001" "$tmp/grande.nmr"

# Seconds from launch until a window titled NEMOR is visible.
una_vez() {
  local inicio fin pid
  inicio=$(date +%s.%N)
  "$build/nemor" "$@" >/dev/null 2>&1 & pid=$!
  timeout 60 xdotool search --sync --onlyvisible --name '^NEMOR$' >/dev/null
  fin=$(date +%s.%N)
  kill "$pid"; wait "$pid" 2>/dev/null || true
  awk -v a="$inicio" -v b="$fin" 'BEGIN {printf "%.3f\n", b - a}'
}

mediana() { sort -n | awk '{v[NR] = $1} END {printf "%.3f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# One start first, so every measured run finds the program and Qt in the file cache.
una_vez >/dev/null
echo "Mediana de $runs arranques, en segundos, hasta ver la ventana (y diferencia con el arranque vacío):"
vacio=
for caso in vacio petroleo grande; do
  case $caso in
    vacio) args=(); nombre="sin árbol" ;;
    petroleo) args=(examples/petroleo.nmr); nombre="examples/petroleo.nmr" ;;
    grande) args=("$tmp/grande.nmr"); nombre="árbol de 1001 nodos" ;;
  esac
  t=$(for _ in $(seq "$runs"); do una_vez "${args[@]}"; done | mediana)
  vacio=${vacio:-$t}
  printf '  %s  %+.3f  %s\n' "$t" "$(awk -v a="$t" -v b="$vacio" 'BEGIN {print a - b}')" "$nombre"
done
