#!/bin/sh
# The script-port path on Linux and under Wine through the same s3270: qorhost
# on 127.0.0.1, one s3270 with a script port connected to it, and the headless
# client taking one job through qor32pcs and pcshll32's script-port session,
# first the Linux build's, then the Windows build's under Wine. Each time runs
# from the job put into the idle spool to its bytes on disk; Wine's time is
# also given as a ratio to Linux's.
#   bench/client/script_port_wine.sh LINUX_BIN WINDOWS_BIN [SAMPLE]
#   SAMPLE: a job's bytes (default hostsim/samples/LONGJOB, about 3 MB)
#   env: QOR_WINE (default wine), WINEPREFIX (default: a new one in the work
#        directory, about 20 s to create; a prefix named here gets the
#        client's registry settings), JOB_SECONDS (default 300)
# Exits non-zero when a job does not arrive in time.
set -eu
bin=$(cd "${1:?usage: $0 LINUX_BIN WINDOWS_BIN [SAMPLE]}" && pwd)
winbin=$(cd "${2:?usage: $0 LINUX_BIN WINDOWS_BIN [SAMPLE]}" && pwd)
sample=${3:-$(dirname "$0")/../../hostsim/samples/LONGJOB}
wine=${QOR_WINE:-wine}
job_seconds=${JOB_SECONDS:-300}
. "$(dirname "$0")/unattended_setup.sh"
command -v "$wine" >/dev/null || fail "$wine is not installed"
[ -e "$winbin/qorprtt.exe" ] || fail "$winbin/qorprtt.exe is missing: build qorprtt qor32pcs pcshll32 message_files"
short=$(dirname "$0")/../../hostsim/samples/SHORT
for f in "$sample" "$short"; do [ -f "$f" ] || fail "no sample $f"; done

export WINEDEBUG=-all
own_prefix=no
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$work/wine-prefix"
  own_prefix=yes
fi
emulator_pid=
runner_pid=

bench_cleanup() {
  status=$?
  set +e
  [ -n "$runner_pid" ] && kill "$runner_pid" 2>/dev/null && wait "$runner_pid" 2>/dev/null
  [ -n "$emulator_pid" ] && kill "$emulator_pid" 2>/dev/null && wait "$emulator_pid" 2>/dev/null
  [ "$own_prefix" = yes ] && wineserver -k 2>/dev/null
  (exit "$status")
  cleanup
}
trap bench_cleanup EXIT

# Waits until the client delivered the job byte for byte.
wait_job() {  # client, job, expected bytes, seconds
  end=$(($(now_ms) + $4 * 1000))
  until cmp -s "$work/$1/$2" "$3" 2>/dev/null; do
    kill -0 "$runner_pid" 2>/dev/null || fail "$1: the client ended; see $work/$1.log"
    [ "$(now_ms)" -ge "$end" ] && fail "$1: $2 not delivered within $4 s; see $work/$1.log"
    sleep 0.05
  done
}

# One client, idle on the script port, then one job: sets elapsed (ms).
time_job() {  # name, command...
  name=$1; shift
  mkdir "$work/$name"
  "$@" --headless --config "$work/config" "$work/$name" >"$work/$name.log" 2>&1 &
  runner_pid=$!
  # A short job first: the client is then connected, idle and warm.
  put_job "${name}0" "$short"
  wait_job "$name" "${name}0" "$short" 120
  start=$(now_ms)
  put_job "$name" "$sample"
  wait_job "$name" "$name" "$sample" "$job_seconds"
  elapsed=$(($(now_ms) - start))
  kill "$runner_pid" 2>/dev/null || true
  wait "$runner_pid" 2>/dev/null || true
  runner_pid=
}

start_host --job-poll-ms 50
script_port=$(awk 'BEGIN { srand(); print 20000 + int(rand() * 30000) }')
s3270 -utf8 -model 3279-2 -scriptport "127.0.0.1:$script_port" "127.0.0.1:$port" \
  >"$work/s3270.log" 2>&1 &
emulator_pid=$!
i=0
until grep -q '\[1\] connected' "$work/qorhost.1.log"; do
  i=$((i + 1)); [ $i -gt 200 ] && fail "s3270 did not reach qorhost; see $work/s3270.log"
  sleep 0.05
done
mkdir "$work/config"
echo "A script 127.0.0.1:$script_port timeout=20" >"$work/config/sessions" ||
  fail "cannot write the sessions file"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT]\r\n"DLL"="QOR32PCS.DLL"\r\n"TIMEOUT"="20"\r\n' \
  >"$work/config/registry.reg" || fail "cannot write the registry file"
echo installed >"$work/config/QORPRTW.INI" || fail "cannot write QORPRTW.INI"

bytes=$(wc -c <"$sample")
echo "one job of $bytes bytes through s3270's script port on 127.0.0.1"
time_job LINUX "$bin/qorprtt"
linux_ms=$elapsed
echo "linux: $linux_ms ms"
# The Windows client keeps its settings in the registry, not in the file.
(cd "$work/config" && "$wine" regedit /S registry.reg >"$work/regedit.log" 2>&1) ||
  fail "cannot import the registry settings; see $work/regedit.log"
time_job WINE "$wine" "$winbin/qorprtt.exe"
wine_ms=$elapsed
echo "wine:  $wine_ms ms"
awk -v w="$wine_ms" -v l="$linux_ms" 'BEGIN { printf "wine/linux: %.2f\n", w / (l > 0 ? l : 1) }'
