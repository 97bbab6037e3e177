#!/bin/sh
# Whether a slow command after each job holds up the jobs: the headless client
# through qor32pcs and a real s3270 against qorhost takes JOBS short jobs
# (default 20) put into the spool one every INTERVAL_MS (default 200), once
# without a command and once with --on-job taking HOOK_SECONDS (default 2)
# per job. Prints jobs/s of each run, from the first job put to the last one
# delivered byte for byte, and their ratio (with / without; 1.00 means the
# command costs the job flow nothing), then how many commands had ended by
# the stop and how long the stop took.
#   bench/client/job_hook_throughput.sh BIN_DIR [JOBS]
#   env: INTERVAL_MS, HOOK_SECONDS, DRAIN_SECONDS (default 120)
set -eu
bin=$(cd "${1:?usage: $0 BIN_DIR [JOBS]}" && pwd)
jobs=${2:-20}
interval_ms=${INTERVAL_MS:-200}
hook_seconds=${HOOK_SECONDS:-2}
drain_seconds=${DRAIN_SECONDS:-120}
. "$(dirname "$0")/unattended_setup.sh"

start_host --job-poll-ms 100
echo "A s3270 127.0.0.1:$port" >"$work/sessions" || fail "cannot write the sessions file"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT]\r\n"DLL"="QOR32PCS.DLL"\r\n"TIMEOUT"="20"\r\n' \
  >"$work/registry.reg" || fail "cannot write the registry file"
interval=$(awk -v ms="$interval_ms" 'BEGIN { printf "%.3f", ms / 1000 }')

# One run: prints its jobs/s; the client's lines go to $work/LABEL.log.
run() {  # label, qorprtt options...
  label=$1; shift
  for n in $(seq 1 "$jobs"); do
    make_job "$n" 600 >"$work/$label.$n" || fail "cannot write a job"
  done
  env HOME="$work" XDG_RUNTIME_DIR="$work/run" QOR_REGISTRY="$work/registry.reg" \
    QOR_SESSIONS="$work/sessions" QOR_EMULATOR_LOG="$work/emulator.log" \
    QOR_TRANSFER_LOG="$work/transfer.log" \
    "$bin/qorprtt" --headless "$@" "$downloads" 2>"$work/$label.log" </dev/null &
  pid=$!
  i=0
  until grep -qs "waiting for the next job" "$work/$label.log"; do
    i=$((i + 1)); [ $i -gt 300 ] && fail "$label: the client did not start; see $work/$label.log"
    sleep 0.1
  done
  start=$(now_ms)
  for n in $(seq 1 "$jobs"); do
    put_job "$label$n" "$work/$label.$n"
    sleep "$interval"
  done
  end=$(($(now_ms) + drain_seconds * 1000))
  for n in $(seq 1 "$jobs"); do
    while ! delivered "$label$n"; do
      [ "$(now_ms)" -ge "$end" ] && fail "$label: job $n not delivered within $drain_seconds s"
      sleep 0.02
    done
  done
  ms=$(($(now_ms) - start))
  stop_start=$(now_ms)
  kill -TERM "$pid"
  wait "$pid" || fail "$label: the client ended with status $?"
  stop_ms=$(($(now_ms) - stop_start))
  awk -v j="$jobs" -v ms="$ms" -v l="$label" -v s="$stop_ms" \
    'BEGIN { printf "%s: %d jobs in %d ms: %.2f jobs/s; stopped in %d ms\n", l, j, ms, j * 1000 / ms, s }' >&2
  awk -v j="$jobs" -v ms="$ms" 'BEGIN { printf "%.4f\n", j * 1000 / ms }'
}

plain=$(run plain)
slow=$(run slow --on-job-shell --on-job "sleep $hook_seconds; echo >> '$work/hook.runs'")
ended=$(wc -l <"$work/hook.runs" 2>/dev/null || echo 0)
dropped=$(grep -c "not run" "$work/slow.log" || true)
echo "jobs arrive every $interval_ms ms; the command takes $hook_seconds s (at most 4 at once)"
awk -v a="$plain" -v b="$slow" \
  'BEGIN { printf "jobs/s without the command %.2f, with it %.2f: ratio %.2f\n", a, b, b / a }'
echo "commands ended by the stop: $ended of $jobs; runs dropped (queue full): $dropped"
sleep "$hook_seconds"  # the commands left running end before the work directory goes
