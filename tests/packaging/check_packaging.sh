#!/usr/bin/env bash
# The installation's documents and layout: every manual page renders without
# a warning; cmake --install puts the settings' directory, the service
# defaults and the logrotate snippet where GNUInstallDirs says for the prefix
# (/usr: /etc and /var; another prefix: under itself), the units name those
# paths, and they verify.
#   check_packaging.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1 build=$2
fail() { echo "FAIL: $*"; exit 1; }

if command -v groff >/dev/null; then
  for page in "$src"/doc/man/*.[158]; do
    warnings=$(LC_ALL=C.UTF-8 groff -ww -man -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "$page: $warnings"
  done
else
  echo "groff is not installed: manual pages not checked"
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# prefix  |  DESTDIR  |  where the settings go  |  where the jobs go (both as the units name them)
while read -r prefix destdir etc var; do
  prefix=${prefix//@/$scratch} destdir=${destdir//@/$scratch} etc=${etc//@/$scratch} var=${var//@/$scratch}
  [ "$destdir" = - ] && destdir=""
  DESTDIR=$destdir cmake --install "$build" --prefix "$prefix" >/dev/null
  root=$destdir$prefix
  for f in "$destdir$etc/default/qorprt" "$destdir$etc/logrotate.d/qorprt" "$root/bin/qorprtt" \
           "$root/share/man/man8/qorprt-service.8" "$root/lib/systemd/system/qorprt@.service"; do
    [ -e "$f" ] || fail "prefix $prefix: no $f"
  done
  [ -d "$destdir$etc/qorprt" ] || fail "prefix $prefix: no $destdir$etc/qorprt/"
  plain=$root/lib/systemd/system/qorprt.service template=$root/lib/systemd/system/qorprt@.service
  grep -qx "ExecStart=$prefix/bin/qorprtt --headless --config $etc/qorprt \${QOR_DOWNLOAD_DIR}" "$plain" ||
    fail "$plain: $(grep ExecStart= "$plain")"
  grep -qx "Environment=QOR_DOWNLOAD_DIR=$var/spool/qorprt" "$plain" || fail "$plain: spool"
  grep -qx "EnvironmentFile=-$etc/default/qorprt" "$plain" || fail "$plain: defaults"
  grep -qx "ExecStart=$prefix/bin/qorprtt --headless --config $etc/qorprt/%i $var/spool/qorprt/%i" \
    "$template" || fail "$template: $(grep ExecStart= "$template")"
  if [ -z "$destdir" ] && command -v systemd-analyze >/dev/null; then
    # An instance, as systemd loads it from the template: %i expanded.
    cp "$template" "$scratch/qorprt@PRT01.service"
    for unit in "$plain" "$template" "$scratch/qorprt@PRT01.service" \
                "$root/lib/systemd/user/qorprt.service"; do
      # The user qorprt exists only once the package is installed.
      out=$(systemd-analyze verify --man=no "$unit" 2>&1 | grep -v "User=" || true)
      [ -z "$out" ] || fail "$unit: $out"
    done
  fi
done <<'TABLE'
@/local  -  @/local/etc  @/local/var
/usr  @/dest  /etc  /var
/opt/qorprt  @/dest  /etc/opt/qorprt  /var/opt/qorprt
TABLE
command -v systemd-analyze >/dev/null || echo "systemd-analyze is not installed: units not verified"
echo "packaging checked"
