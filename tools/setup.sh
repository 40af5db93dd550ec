#!/usr/bin/env bash
# Installs what building and running the updater under Wine needs on Debian 12,
# as root; does nothing when everything is there.
#   tools/setup.sh           everything: build, tests, demo and release
#   tools/setup.sh release   only what building and packing a release needs
# With ORVEK_ARCH=x64 (tools/arch.sh) it leaves out the 32-bit Wine, which
# a machine that runs no 32-bit code cannot use.
set -euo pipefail

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(mingw-w64)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(mingw-w64)
command -v python3 >/dev/null || need+=(python3)
command -v git >/dev/null || need+=(git)
command -v osslsigncode >/dev/null || need+=(osslsigncode)
command -v openssl >/dev/null || need+=(openssl)
if [ "${1:-}" != release ]; then
  command -v Xvfb >/dev/null || need+=(xvfb)
  command -v import >/dev/null || need+=(imagemagick)
  command -v xdotool >/dev/null || need+=(xdotool)
  command -v curl >/dev/null || need+=(curl)
  # The proxy that asks for a password in the end-to-end tests; the binary
  # alone, without the system service of the package tinyproxy.
  command -v tinyproxy >/dev/null || need+=(tinyproxy-bin)
  [ -d /usr/src/googletest/googletest ] || need+=(googletest)
  # The picture generators' test draws the pictures again.
  /usr/bin/python3 -c "import PIL" 2>/dev/null || need+=(python3-pil)
  dpkg -s wine >/dev/null 2>&1 || need+=(wine wine64)
  if [ "${ORVEK_ARCH:-x86}" = x86 ]; then
    dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
  fi
  dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
  # Wine's dialog font in Japanese and Chinese takes a CJK font; this one
  # (5 MB) draws their characters and the Latin ones beside them. Arabic
  # is drawn from DejaVu Sans.
  dpkg -s fonts-wqy-microhei >/dev/null 2>&1 || need+=(fonts-wqy-microhei)
  dpkg -s fonts-dejavu-core >/dev/null 2>&1 || need+=(fonts-dejavu-core)
fi

if [ ${#need[@]} -gt 0 ]; then
  mapfile -t need < <(printf '%s\n' "${need[@]}" | sort -u)
  echo "setup: installing ${need[*]}"
  if [[ " ${need[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  # A mirror caught mid-sync fails one list; the others still serve.
  apt-get update || echo "setup: some package lists could not be refreshed; installing from the rest"
  # With the recommended packages: Wine's own fonts come that way.
  if ! DEBIAN_FRONTEND=noninteractive apt-get install -y "${need[@]}"; then
    # A security list that failed for one architecture leaves the 32- and
    # 64-bit libraries at different versions; the release's own suite has
    # them at the same one.
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    DEBIAN_FRONTEND=noninteractive apt-get install -y -t "$codename" "${need[@]}"
  fi
fi
