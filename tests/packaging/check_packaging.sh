#!/usr/bin/env bash
# The installation's documents and package: every manual page renders without
# a warning, the systemd units verify, and the Debian package holds the
# programs, libraries, message files, manual pages and units.
#   check_packaging.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1 build=$2
fail() { echo "FAIL: $*"; exit 1; }

if command -v groff >/dev/null; then
  for page in "$src"/doc/man/*.[15]; do
    warnings=$(LC_ALL=C.UTF-8 groff -ww -man -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "$page: $warnings"
  done
else
  echo "groff is not installed: manual pages not checked"
fi

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
if command -v systemd-analyze >/dev/null; then
  for unit in "$prefix"/lib/systemd/system/qorprt.service "$prefix"/lib/systemd/user/qorprt.service; do
    out=$(systemd-analyze verify --man=no "$unit" 2>&1 | grep -v "qorprt.service: .*User=.*" || true)
    [ -z "$out" ] || fail "$unit: $out"
  done
else
  echo "systemd-analyze is not installed: units not verified"
fi

if command -v dpkg-deb >/dev/null; then
  deb=$("$src"/scripts/build-deb "$build")
  listing=$(dpkg-deb -c "$deb")
  for path in ./usr/bin/qorprtt ./usr/bin/qorcnfig ./usr/bin/qorhost ./usr/lib/qorprt/qorprtt \
              ./usr/lib/qorprt/razevu3.so ./usr/lib/qorprt/qor32pcs.so ./usr/lib/qorprt/pcshll32.so \
              ./usr/lib/qorprt/QORPRTW.QOR ./usr/lib/qorprt/QORCNFIG.QOR ./usr/share/man/man1/qorprtt.1.gz \
              ./usr/share/man/man5/qorprt-sessions.5.gz ./usr/lib/systemd/system/qorprt.service \
              ./usr/lib/systemd/user/qorprt.service ./etc/logrotate.d/qorprt; do
    grep -q " $path\( \|$\)" <<<"$listing" || fail "$deb lacks $path"
  done
  dpkg-deb -f "$deb" Package Version Architecture
  rm -f "$deb"
else
  echo "dpkg-deb is not installed: no package built"
fi
echo "packaging checked"
