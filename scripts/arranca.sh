#!/usr/bin/env bash
# Starts NEMOR from a build folder that is already built (run.sh builds it first).
# With a display: the window, on the tree given or else on the default sample.
# Without one: that tree solved and drawn to a PNG in the build folder, whose
# path is printed with the root's value.
#   scripts/arranca.sh CARPETA_DE_COMPILACION [arbol.nmr]
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
[ $# -ge 1 ] || { echo "uso: $0 CARPETA_DE_COMPILACION [arbol.nmr]" >&2; exit 2; }
build="$(cd "$1" && pwd)"
shift
muestra="$raiz/examples/petroleo.nmr"

# A platform chosen by hand (QT_QPA_PLATFORM) counts as a display.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  arbol="${1:-$muestra}"
  nombre="$(basename "$arbol")"
  imagen="$build/${nombre%.*}.png"
  "$build/cli/nemor-cli" export --solve "$arbol" "$imagen"
  valor="$("$build/cli/nemor-cli" solve "$arbol" | head -n 1 | cut -f 3)"
  echo "No hay pantalla: se ha resuelto $arbol y se ha dibujado en una imagen."
  echo "Imagen: $imagen"
  echo "Valor de la raíz: $valor"
  exit 0
fi

[ $# -ge 1 ] || set -- "$muestra"
exec "$build/nemor" "$@"
