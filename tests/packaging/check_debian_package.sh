#!/usr/bin/env bash
# The Debian packages, built with debhelper through scripts/build-deb (which
# fails on a lintian error or a unit that does not verify): each holds what it
# should, and installing enables the plain unit but not the template.
# A whole second build, so it runs only when QOR_BUILD_DEB=1.
#   check_debian_package.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1 build=$2
[ "${QOR_BUILD_DEB:-}" = 1 ] || { echo "set QOR_BUILD_DEB=1 to build the packages"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
# Always the same place, so that ccache serves the next build.
out=$build/debian-packages
rm -rf "$out"
"$src"/scripts/build-deb "$out" >/dev/null

while read -r package paths; do
  deb=$(ls "$out/${package}"_*.deb)
  listing=$(dpkg-deb -c "$deb")
  for path in $paths; do
    grep -q " \./$path\( \|$\)" <<<"$listing" || fail "$package lacks $path"
  done
done <<'TABLE'
qorprt usr/bin/qorprtt usr/bin/qorcnfig usr/lib/qorprt/qorprtt usr/lib/qorprt/razevu3.so usr/lib/qorprt/qor32pcs.so usr/lib/qorprt/pcshll32.so usr/lib/qorprt/QORPRTW.QOR usr/share/man/man8/qorprt-service.8.gz usr/share/man/man5/qorprt-sessions.5.gz etc/logrotate.d/qorprt etc/default/qorprt etc/qorprt/ var/spool/qorprt/
qorprt-testhost usr/bin/qorhost usr/lib/qorprt/qorhost usr/lib/qorprt/samples/MONTHRPT usr/share/man/man1/qorhost.1.gz
TABLE
dpkg-deb -c "$out"/qorprt_*.deb | grep -q "qorhost" && fail "qorprt holds the test host"

scripts=$out/control
dpkg-deb -e "$out"/qorprt_*.deb "$scripts"
grep -q "deb-systemd-helper.* enable 'qorprt.service'" "$scripts/postinst" || fail "qorprt.service is not enabled"
grep -q "enable 'qorprt@.service'" "$scripts/postinst" && fail "the template is enabled"
grep -q "/etc/default/qorprt" "$scripts/conffiles" || fail "no conffiles"
echo "packages checked"
