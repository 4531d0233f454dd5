#!/usr/bin/env bash
# The release as a Windows user gets it: what the zip holds; then, under Wine, a silent install
# (twice: the second upgrades in place) into Program Files, the installed hub without and with a
# foot controller launching the user's feeder, and a silent uninstall that keeps only that feeder.
#   install_test.sh SOURCE_DIR WINDOWS_BUILD_DIR      (needs a display: xvfb-run -a)
set -euo pipefail
src=$1 win=$2
tmp=$(mktemp -d /tmp/pedalon-install.XXXXXX)
export WINEPREFIX=$tmp/prefix WINEARCH=win64 WINEDEBUG=-all SOURCE_DATE_EPOCH=1700000000
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Packaged twice from the same programs: the same bytes.
"$src/packaging/make-release.sh" "$win" "$tmp/a" >/dev/null
"$src/packaging/make-release.sh" "$win" "$tmp/b" >/dev/null
cmp "$tmp/a/SHA256SUMS" "$tmp/b/SHA256SUMS" || fail "two packagings differ"
(cd "$tmp/a" && sha256sum -c --quiet SHA256SUMS)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win/CMakeCache.txt")
zip=$tmp/a/pedalon-hub-$version-win64.zip setup=$tmp/a/pedalon-hub-$version-win64-setup.exe

# Exactly these entries, so never the stand-in dinput8.dll; the programs carry the version.
[ "$(unzip -Z1 "$zip")" = "$(printf 'VR Pedalon Hub/%s\n' '' README.txt docs/ docs/protocol.md \
  feeder/ feeder/README.txt pedalon-hub.exe pedalon-peer.exe)" ] || fail "zip: $(unzip -Z1 "$zip")"
unzip -q "$zip" -d "$tmp/zip"
for exe in pedalon-hub pedalon-peer; do
  cmp "$tmp/zip/VR Pedalon Hub/$exe.exe" "$win/$exe.exe"
  x86_64-w64-mingw32-windres -i "$win/$exe.exe" -O rc | tr -d '\0' |
    grep -q "VALUE \"ProductVersion\", \"$version\"" || fail "$exe.exe: no version $version"
done

wine "$setup" /S
wine "$setup" /S
dir="$WINEPREFIX/drive_c/Program Files/VR Pedalon Hub"
lnk="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/VR Pedalon Hub.lnk"
for f in pedalon-hub.exe pedalon-peer.exe README.txt docs/protocol.md feeder/README.txt uninstall.exe; do
  [ -f "$dir/$f" ] || fail "not installed: $f"
done
grep -qaF 'VR Pedalon Hub\pedalon-hub.exe' "$lnk" || fail "no shortcut to the hub"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VR Pedalon Hub'
entry=$(wine reg query "$key" | tr -d '\r' | tr -s ' \t' ' ')
at='C:\Program Files\VR Pedalon Hub'
while read -r want; do
  grep -qxF " $want" <<<"$entry" || fail "uninstall entry lacks '$want' in: $entry"
done <<EOF2
DisplayName REG_SZ VR Pedalon Hub
DisplayVersion REG_SZ $version
Publisher REG_SZ VR Pedalon
InstallLocation REG_SZ $at
DisplayIcon REG_SZ $at\pedalon-hub.exe,0
UninstallString REG_SZ "$at\uninstall.exe"
QuietUninstallString REG_SZ "$at\uninstall.exe" /S
NoModify REG_DWORD 0x1
NoRepair REG_DWORD 0x1
EOF2
grep -q '^ EstimatedSize REG_DWORD 0x' <<<"$entry" || fail "no EstimatedSize"

# Runs the installed hub; once a window named $1 shows and the command $3... succeeds, sends it
# key $2 and expects the hub to end with status 0.
run_hub() {
  wine "$at\\pedalon-hub.exe" &
  local hub=$! window
  window=$(timeout 90 xdotool search --sync --name "$1" | head -n1) || fail "no window '$1'"
  "${@:3}"
  xdotool windowfocus --sync "$window" key "$2"
  wait "$hub" || fail "hub ended with $? after '$1'"
}
# Wine's own DirectInput finds no controller: "Pedalon not found".
run_hub "VR Pedalon monitor" Return true

# The stand-in controller (for this test only) presses "Start vjoy feeder" after 0.5 s; the
# user's feeder, under Program Files, marks its start. Escape then closes the hub.
cp "$win/standin/dinput8.dll" "$dir/"
cp "$win/standin/feeder-standin.exe" "$dir/feeder/PadRelay.exe"
echo "500 press=1045" >"$tmp/press.txt"
export PEDALON_STANDIN_SCRIPT=$tmp/press.txt WINEDLLOVERRIDES="$WINEDLLOVERRIDES;dinput8=n,b"
started() {
  timeout 60 sh -c 'until [ -f "$1/feeder/started.txt" ]; do sleep 0.2; done' - "$dir" ||
    fail "the feeder did not start"
}
run_hub "^VR Pedalon Hub" Escape started

rm "$dir/dinput8.dll" "$dir/feeder/started.txt"
wine "$at\\uninstall.exe" /S
wineserver -w # the uninstaller finishes from a copy of itself
[ "$(cd "$dir" && find . | sort)" = "$(printf '.\n./feeder\n./feeder/PadRelay.exe')" ] ||
  fail "left after uninstall: $(cd "$dir" && find .)"
[ ! -e "$lnk" ] || fail "shortcut left"
! wine reg query "$key" >/dev/null 2>&1 || fail "uninstall entry left"
echo "install test passed"
