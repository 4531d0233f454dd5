#!/usr/bin/env bash
# Makes the release from a Windows build: the portable zip, the installer and SHA256SUMS.
#   packaging/make-release.sh WINDOWS_BUILD_DIR OUT_DIR
# The same programs give the same bytes: file times from SOURCE_DATE_EPOCH (else the time of
# the last commit), sorted zip entries without extra fields, no dates in the installer.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
mkdir -p "$2"
out=$(cd "$2" && pwd) # makensis reads paths from the script's folder
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
: "${SOURCE_DATE_EPOCH:=$(git -C "$here" log -1 --format=%ct)}"
name=pedalon-hub-$version-win64

# The files as the user gets them, in a folder of the program's name; the stand-in controller
# and other test equipment never come here.
stage=$out/stage/VR\ Pedalon\ Hub
rm -rf "$out/stage"
mkdir -p "$stage/docs" "$stage/feeder"
install -m 755 "$build/pedalon-hub.exe" "$build/pedalon-peer.exe" "$stage/"
install -m 644 "$here/../docs/protocol.md" "$stage/docs/"
sed 's/$/\r/' "$here/readme.txt" >"$stage/README.txt" # Windows line ends for Notepad
sed 's/$/\r/' "$here/feeder-readme.txt" >"$stage/feeder/README.txt"
chmod 644 "$stage/README.txt" "$stage/feeder/README.txt"
chmod 755 "$stage/docs" "$stage/feeder" "$stage"
find "$out/stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

rm -f "$out/$name.zip" "$out/$name-setup.exe"
(cd "$out/stage" && find . -mindepth 1 | LC_ALL=C sort | sed 's|^\./||' |
  TZ=UTC zip -X -q -@ "../$name.zip")
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" \
  -DOUTFILE="$out/$name-setup.exe" "$here/installer.nsi"
(cd "$out" && sha256sum "$name.zip" "$name-setup.exe" >SHA256SUMS)
rm -rf "$out/stage"
