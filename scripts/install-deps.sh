#!/usr/bin/env bash
# Installs what the build, the tests and the benchmark need on Debian 12.
# Run as root (or through sudo).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libgtest-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
  cloc time
  fonts-dejavu-core fonts-wine
  libxlsxwriter-dev libreoffice-calc-nogui
  libzip-dev libpugixml-dev
  libgit2-dev git python3
  python3-jsonschema bash-completion
  desktop-file-utils appstream dpkg-dev
  lintian debootstrap
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
