#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need, and
# the deb-src entry the dependency build uses. Safe to run again: when all
# packages are present it does nothing.
set -euo pipefail

packages=(
  cmake make ninja-build pkg-config dpkg-dev ccache
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64
  wine wine64 wine32:i386 xvfb xauth xdotool x11-apps x11-utils imagemagick
  fonts-wqy-microhei fonts-wine
  osslsigncode openssl
  librapidxml-dev libz-mingw-w64-dev googletest
  python3 curl
  nginx-light tinyproxy
)

sudo_if_needed() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# The shipped exe is 32-bit: 32-bit Wine comes from the i386 architecture, and
# a prefix made with it installed is a WoW64 prefix that runs both builds.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_if_needed dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# apt-get source needs a deb-src line for the release the machine runs.
if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  sudo_if_needed tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: ${codename} ${codename}-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  echo "setup-machine: installing ${missing[*]:-(source lists only)}"
  sudo_if_needed apt-get update -q
  if [ ${#missing[@]} -gt 0 ]; then
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
fi
