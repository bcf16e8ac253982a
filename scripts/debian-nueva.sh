#!/usr/bin/env bash
# Runs commands of the README on the committed tree inside a brand-new, minimal
# Debian 12 (a chroot made with debootstrap), as a new user's machine would:
# whatever the build needs and the project's scripts do not install fails here.
#
# Usage (as root, from the checkout):
#   scripts/debian-nueva.sh                # ./test.sh
#   scripts/debian-nueva.sh ./run.sh ...   # the commands given, in order
#
# The minimal system is made once and kept in $NEMOR_DEBIAN_CACHE (by default
# /var/tmp/nemor-debian/base); every run works on a new copy of it, which is
# removed afterwards. Downloaded packages are kept beside it, so later runs do
# not fetch them again (what gets installed is still decided inside the copy).
# The commands' output goes through unchanged; the exit status is that of the
# first command that fails.
set -euo pipefail

repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
cache=${NEMOR_DEBIAN_CACHE:-/var/tmp/nemor-debian}
base=$cache/base
paquetes=$cache/paquetes

[ "$(id -u)" -eq 0 ] || { echo "debian-nueva: hay que ejecutarlo como root (usa chroot y mount)" >&2; exit 2; }

# The Debian mirror this machine's apt already uses (deb822 sources, else the classic list).
mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -v security | head -n1 || true)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" && $0 !~ /security/ {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
[ -n "$mirror" ] || mirror=http://deb.debian.org/debian

if ! command -v debootstrap >/dev/null; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
fi

mkdir -p "$cache" "$paquetes"
if [ ! -x "$base/bin/bash" ]; then
  echo "debian-nueva: creando un Debian 12 mínimo en $base (una sola vez, unos minutos)"
  rm -rf "$base.tmp"
  if ! debootstrap --variant=minbase bookworm "$base.tmp" "$mirror" >"$cache/debootstrap.log" 2>&1; then
    echo "debian-nueva: debootstrap ha fallado; véase $cache/debootstrap.log" >&2
    tail -n 20 "$cache/debootstrap.log" >&2
    exit 2
  fi
  mv "$base.tmp" "$base"
fi

work=$(mktemp -d "$cache/run.XXXXXX")
limpia() {
  local m
  for m in var/cache/apt/archives dev sys proc; do
    if mountpoint -q "$work/$m"; then umount -R -l "$work/$m" || true; fi
  done
  # Only once nothing of the host is mounted inside any more.
  if ! grep -q " $work/" /proc/mounts; then rm -rf --one-file-system "$work"; fi
}
trap limpia EXIT

cp -a "$base/." "$work/"
cp /etc/resolv.conf "$work/etc/resolv.conf" 2>/dev/null || true
mount -t proc proc "$work/proc"
mount --rbind /sys "$work/sys"
mount --rbind /dev "$work/dev"
mkdir -p "$work/var/cache/apt/archives"
mount --bind "$paquetes" "$work/var/cache/apt/archives"
# A minimal system's apt removes what it downloaded; keep it for the next run.
rm -f "$work/etc/apt/apt.conf.d/docker-clean"
echo 'APT::Keep-Downloaded-Packages "true";' >"$work/etc/apt/apt.conf.d/90nemor-conserva"

git clone -q "$repo" "$work/root/nemor"
echo "debian-nueva: $(git -C "$repo" log -1 --format='%h %s') en un Debian 12 nuevo"

ordenes=("$@")
[ ${#ordenes[@]} -gt 0 ] || ordenes=(./test.sh)
for o in "${ordenes[@]}"; do
  echo "debian-nueva: $o"
  inicio=$(date +%s)
  estado=0
  chroot "$work" /usr/bin/env -i HOME=/root TERM=dumb CI=true \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /root/nemor && $o" || estado=$?
  if [ "$estado" -ne 0 ]; then
    echo "debian-nueva: ha fallado: $o (estado $estado, $(( $(date +%s) - inicio )) s)" >&2
    exit "$estado"
  fi
  echo "debian-nueva: correcto: $o ($(( $(date +%s) - inicio )) s)"
done
