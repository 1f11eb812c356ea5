#!/usr/bin/env bash
# Builds the shipped (i686) launcher and packs it: a release folder, a zip and
# an installer, named after the version in src/resources/version.h.
#   bash scripts/release.sh [OUTPUT_FOLDER]    (default build/release)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
out=${1:-$root/build/release}

bash scripts/setup.sh
version=$(sed -n 's/^#define VELMORA_VERSION_TEXT "\([0-9.]*\)\.[0-9]*"$/\1/p' src/resources/version.h)
[ -n "$version" ] || { echo "no version in src/resources/version.h"; exit 1; }

mkdir -p build/logs
{ cmake --preset win32 && cmake --build --preset win32 --target velmora; } > build/logs/release-build.log 2>&1 ||
  { tail -n 30 build/logs/release-build.log; echo "the i686 build failed"; exit 1; }

name=velmora-$version
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/$name-setup.exe"
mkdir -p "$stage"
cp build/win32/bin/velmora.exe "$stage/"
cp LICENSE.txt "$stage/"
sed -e "s/@VERSION@/$version/g" -e "s/$/\r/" installer/INSTALL.txt > "$stage/INSTALL.txt"  # Notepad-friendly line ends

(cd "$out" && python3 -m zipfile -c "$name.zip" "$name")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out/$name-setup.exe" installer/velmora.nsi
echo "release folder: $stage"
echo "archive: $out/$name.zip"
echo "installer: $out/$name-setup.exe"
