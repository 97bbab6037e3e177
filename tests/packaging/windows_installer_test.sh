#!/usr/bin/env bash
# The Windows installer as a user meets it, in a fresh 32-bit Wine prefix:
# installed silently (/S), it lays down every file of the zip unchanged, the
# Start-menu entries and the entry in Add/Remove Programs; the installed
# client takes the built-in host's sample jobs byte-exact headless and writes
# nothing into the installation; uninstalled silently, no program file, entry
# or registration is left, while the user's settings and jobs are.
#   windows_installer_test.sh WINE SETUP_EXE ZIP SOURCE_DIR
# Exit 77: the installer is a 32-bit program and 32-bit Wine cannot run here.
set -euo pipefail
wine=$1 setup=$(realpath "$2") zip=$(realpath "$3") src=$4
if [ "${wine##*/}" = wine64 ] || ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  echo "SKIP: the installer is a 32-bit program; this machine cannot run 32-bit Wine" >&2
  exit 77
fi
wineserver=${wine%wine}wineserver
work=$(mktemp -d)
# No menu entries for the desktop outside the prefix.
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# A program and everything it started (an uninstaller runs a copy of itself).
run() { "$wine" "$@" >>"$work/wine.log" 2>&1; "$wineserver" -w; }
tree() { (cd "$1" && find . -printf '%p %s %T@\n' | LC_ALL=C sort); }

run "$setup" /S || fail "the installer failed: $(cat "$work/wine.log")"
c=$WINEPREFIX/drive_c
program=$c/Program\ Files/QORPRINT
menu=$c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/QORPRINT
mkdir "$work/zip"
(cd "$work/zip" && unzip -q "$zip")
differences=$(diff -r "$work"/zip/* "$program" | grep -vxF "Only in $program: uninstall.exe" || true)
[ -z "$differences" ] || fail "the installation differs from the zip: $differences"
for entry in "QORPRINT.lnk qorprtt.exe" "QORPRINT Configuration.lnk qorcnfig.exe"; do
  tr -d '\0' <"$menu/${entry% *}" | grep -qF "QORPRINT\\${entry##* }" ||
    fail "no Start-menu entry ${entry% *} for ${entry##* }"
done
uninstall_key='[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QORPRINT]'
grep -qF "$uninstall_key" "$WINEPREFIX/system.reg" || fail "no entry in Add/Remove Programs"

# As the readme suggests: the built-in host serves the installed samples.
mkdir "$work/jobs"
installed=$(tree "$program")
"$wine" "$program/qorprtt.exe" --headless --demo "$work/jobs" >"$work/client.log" 2>&1 &
samples=$(cd "$src/hostsim/samples" && echo *)
all_taken() {
  for job in $samples; do cmp -s "$work/jobs/$job" "$src/hostsim/samples/$job" || return 1; done
}
for _ in $(seq 1 1200); do all_taken && break; sleep 0.1; done
"$wineserver" -k 2>/dev/null || true
wait
all_taken || fail "the installed client did not take every sample: $(cat "$work/client.log")"
[ "$(tree "$program")" = "$installed" ] || fail "the client wrote into the installation"

for roaming in "$c"/users/*/AppData/Roaming; do  # %APPDATA%
  [[ $roaming == */users/Public/* ]] || settings=$roaming/qorprt
done
mkdir -p "$settings"
echo "A script 127.0.0.1:4020" >"$settings/sessions"
run "$program/uninstall.exe" /S || fail "the uninstaller failed: $(cat "$work/wine.log")"
[ -e "$program" ] && fail "left in the installation folder: $(find "$program")"
[ -e "$menu" ] && fail "Start-menu entries left: $(find "$menu")"
grep -qF "$uninstall_key" "$WINEPREFIX/system.reg" && fail "still in Add/Remove Programs"
[ "$(cat "$settings/sessions")" = "A script 127.0.0.1:4020" ] || fail "the user's settings were removed"
all_taken || fail "the jobs were removed"
echo "installed, took the samples byte-exact, uninstalled leaving the settings and jobs"
