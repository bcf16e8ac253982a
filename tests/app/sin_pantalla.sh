#!/usr/bin/env bash
# The start script on a machine without a display: it must solve the default
# sample, write its picture into the build folder, say where, and exit 0.
#   tests/app/sin_pantalla.sh FUENTES CARPETA_DE_COMPILACION
set -uo pipefail
fuentes="$1"
build="$(cd "$2" && pwd)"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export NEMOR_INI="$build/sin_pantalla.ini" # no settings file: the default options
falla() { echo "FALLO: $*" >&2; echo "$salida" >&2; exit 1; }

imagen="$build/petroleo.png"
rm -f "$imagen"
salida="$("$fuentes/scripts/arranca.sh" "$build" 2>&1)"
estado=$?
[ $estado -eq 0 ] || falla "salida $estado"
echo "$salida" | grep -qxF "Imagen: $imagen" || falla "no dice dónde está la imagen"
[ -s "$imagen" ] || falla "no hay imagen en $imagen"
[ "$(head -c 8 "$imagen" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || falla "no es un PNG"
# petroleo.nmr: the seismic test is worth its cost, 22.5 against 20.
echo "$salida" | grep -qE "^Valor de la raíz: 22[.,]5" || falla "falta el valor de la raíz"

# A tree given on the command line is drawn instead of the sample.
salida="$("$fuentes/scripts/arranca.sh" "$build" "$fuentes/examples/inversion.nmr" 2>&1)" || falla "inversion"
[ -s "$build/inversion.png" ] || falla "no hay imagen de inversion"
echo "$salida" | grep -qE "^Valor de la raíz: 680$" || falla "valor de inversion"

# A file that is not a tree is an error, not a success.
echo "no es un árbol" > "$build/roto.nmr"
if "$fuentes/scripts/arranca.sh" "$build" "$build/roto.nmr" >/dev/null 2>&1; then falla "un fichero roto dio éxito"; fi
rm -f "$build/roto.nmr" "$build/inversion.png" "$build/roto.png"
echo "bien"
