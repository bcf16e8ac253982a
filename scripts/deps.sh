# Sourced by run.sh and test.sh: makes sure the Debian packages the build needs are present.
NEMOR_PAQUETES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev qt6-translations-l10n libgl-dev
  qt6-tools-dev qt6-documentation-tools libqt6sql6-sqlite
  desktop-file-utils appstream dpkg-dev file hyperfine
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fonts-liberation
)

nemor_dependencias() {
  local faltan=()
  for p in "${NEMOR_PAQUETES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltan+=("$p")
  done
  [ ${#faltan[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Instalando paquetes: ${faltan[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq --no-install-recommends "${faltan[@]}" >/dev/null || {
      echo "No se pudieron instalar los paquetes: ${faltan[*]}" >&2
      return 1
    }
  else
    echo "Faltan paquetes. Instálelos con:" >&2
    echo "  sudo apt-get install -y ${faltan[*]}" >&2
    return 1
  fi
}
