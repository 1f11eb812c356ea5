#!/usr/bin/env bash
# Installs what the build, the tests and the demo need, and only what is
# missing. Safe to run again; quiet unless it installs something.
# The shipped launcher is a 32-bit program: wine needs its 32-bit half
# (Debian's i386 architecture), and the customers' Windows runs with the
# Romanian locale (ANSI code page 1250), which wine takes from LC_ALL.
set -euo pipefail
packages=(
  cmake ninja-build python3
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  clang libclang-rt-14-dev
  googletest libasio-dev
  wine wine64 wine32:i386 xvfb x11-apps x11-utils imagemagick
  fonts-wine nsis locales
)
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qix 'ro_RO.utf-\?8'; then
  echo "making the locale ro_RO.UTF-8"
  $SUDO localedef -i ro_RO -f UTF-8 ro_RO.UTF-8
fi
