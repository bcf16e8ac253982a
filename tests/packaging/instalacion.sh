#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds the Debian package, and
# checks that both hold every file a desktop needs, that the desktop entry and
# the AppStream metadata validate, and that the installed tool finds its helper.
#   tests/packaging/instalacion.sh BUILD
# Exit 77 (a skip for CTest) only when a checking tool is not installed.
set -euo pipefail
build=$(cd "$1" && pwd)

for herramienta in desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps file readelf cpack; do
  command -v "$herramienta" >/dev/null || { echo "SKIP: falta $herramienta (scripts/deps.sh lo instala)"; exit 77; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
falla() { echo "FALLO: $*" >&2; exit 1; }

ficheros=(
  usr/bin/nemor
  usr/bin/nemor-cli
  usr/libexec/nemor/nemor-exporta
  usr/share/nemor/ayuda/nemor.qch
  usr/share/nemor/ayuda/nemor.qhc
  usr/share/nemor/ejemplos/petroleo.nmr
  usr/share/nemor/ejemplos/lanzamiento.nmr
  usr/share/nemor/ejemplos/inversion.nmr
  usr/share/applications/es.nemor.Nemor.desktop
  usr/share/metainfo/es.nemor.Nemor.metainfo.xml
  usr/share/mime/packages/nemor.xml
  usr/share/icons/hicolor/scalable/apps/es.nemor.Nemor.svg
  usr/share/man/man1/nemor.1.gz
  usr/share/man/man1/nemor-cli.1.gz
)

# 1. cmake --install into a prefix.
cmake --install "$build" --prefix "$tmp/raiz/usr" >/dev/null
for f in "${ficheros[@]}"; do
  [ -s "$tmp/raiz/$f" ] || falla "cmake --install no ha puesto $f"
done
desktop-file-validate "$tmp/raiz/usr/share/applications/es.nemor.Nemor.desktop" ||
  falla "desktop-file-validate rechaza la entrada de escritorio"
grep -qx 'Exec=nemor %f' "$tmp/raiz/usr/share/applications/es.nemor.Nemor.desktop" || falla "Exec no abre el fichero dado"
grep -qx 'MimeType=application/x-nemor;' "$tmp/raiz/usr/share/applications/es.nemor.Nemor.desktop" ||
  falla "la entrada no declara el tipo de los .nmr"
grep -q '<glob pattern="\*.nmr"/>' "$tmp/raiz/usr/share/mime/packages/nemor.xml" || falla "el tipo MIME no reconoce *.nmr"
appstreamcli validate --no-net "$tmp/raiz/usr/share/metainfo/es.nemor.Nemor.metainfo.xml" ||
  falla "appstreamcli rechaza los metadatos"
gzip -t "$tmp/raiz/usr/share/man/man1/nemor-cli.1.gz" || falla "página de manual dañada"

# The installed tool solves a sample and reaches its picture helper under libexec.
cli="$tmp/raiz/usr/bin/nemor-cli"
"$cli" solve "$tmp/raiz/usr/share/nemor/ejemplos/petroleo.nmr" | head -n 1 | grep -q '^0	1	' ||
  falla "el nemor-cli instalado no resuelve el ejemplo"
NEMOR_INI="$tmp/NEMOR.ini" "$cli" export "$tmp/raiz/usr/share/nemor/ejemplos/inversion.nmr" "$tmp/arbol.png" ||
  falla "el nemor-cli instalado no encuentra su ayudante de imágenes"
[ -s "$tmp/arbol.png" ] || falla "no se ha dibujado la imagen"

# 2. The Debian package, with its dependencies computed from the binaries.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/cpack" -D CPACK_OUTPUT_FILE_PREFIX="$tmp/paquete" \
  >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; falla "cpack no ha hecho el paquete"; }
deb=$(ls "$tmp"/paquete/nemor_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >"$tmp/contenido"
for f in "${ficheros[@]}"; do
  grep -qx "$f" "$tmp/contenido" || falla "el paquete no lleva $f"
done
depende=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6help6 libqt6charts6 libqt6sql6-sqlite libc6; do
  [[ "$depende" == *"$p"* ]] || falla "el paquete no depende de $p: $depende"
done
echo "instalación y paquete correctos: $(basename "$deb")"
