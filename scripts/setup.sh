#!/usr/bin/env bash
# Installs what the build, the tests and the demo need, and only what is
# missing. Safe to run again; quiet unless it installs something.
set -euo pipefail
packages=(
  cmake ninja-build python3
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  clang libclang-rt-14-dev
  googletest libasio-dev
  wine wine64 xvfb x11-apps x11-utils imagemagick
  fonts-wine nsis
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
