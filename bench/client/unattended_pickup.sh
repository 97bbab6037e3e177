#!/bin/sh
# How fast the real client picks up jobs in unattended operation, through
# qor32pcs and a real s3270 against qorhost on 127.0.0.1:
#   pickup: ROUNDS times (default 5) one short job is put into the idle spool,
#           timed until the download directory holds it byte for byte;
#   drain:  20 short jobs put into the spool at once, timed until all 20 are
#           there byte for byte.
# qorhost itself looks at the spool for an idle session every QORHOST_POLL_MS
# (default 200 here, 1000 in qorhost), which is part of every pickup.
#   bench/client/unattended_pickup.sh BIN_DIR [ROUNDS]
#   env: QORHOST_POLL_MS, PICKUP_SECONDS (default 60), DRAIN_SECONDS (default 120)
# Exits non-zero when a job does not arrive in time.
set -eu
bin=$(cd "${1:?usage: $0 BIN_DIR [ROUNDS]}" && pwd)
rounds=${2:-5}
poll_ms=${QORHOST_POLL_MS:-200}
pickup_seconds=${PICKUP_SECONDS:-60}
drain_seconds=${DRAIN_SECONDS:-120}
. "$(dirname "$0")/unattended_setup.sh"

# Waits until every named job arrived byte for byte; false after the seconds.
wait_delivered() {  # seconds, names...
  end=$(($(now_ms) + $1 * 1000)); shift
  pending=$*
  while [ -n "$pending" ]; do
    left=
    for name in $pending; do delivered "$name" || left="$left $name"; done
    pending=$left
    [ -z "$pending" ] && return 0
    [ "$(now_ms)" -ge "$end" ] && return 1
    sleep 0.05
  done
}

start_host --job-poll-ms "$poll_ms"
start_client
echo "qorhost looks at the spool every $poll_ms ms (--job-poll-ms)"

latencies=
for round in $(seq 1 "$rounds"); do
  name=$(printf 'P%02d' "$round")
  make_job "$round" 400 >"$work/job" || fail "cannot write $work/job"
  start=$(now_ms)
  put_job "$name" "$work/job"
  wait_delivered "$pickup_seconds" "$name" ||
    fail "pickup $round: $name not delivered within $pickup_seconds s"
  ms=$(($(now_ms) - start))
  echo "pickup $round: $ms ms"
  latencies="$latencies $ms"
  # The host files the job once the client has acknowledged its end; then idle a moment.
  i=0
  while [ ! -e "$spool/done/$name" ]; do
    i=$((i + 1)); [ $i -gt 300 ] && fail "qorhost did not file $name as delivered"
    sleep 0.1
  done
  sleep 1
done
median=$(printf '%s\n' $latencies | sort -n |
         awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }')
echo "pickup median of $rounds: $median ms"

names=
for n in $(seq 1 20); do
  name=$(printf 'J%02d' "$n")
  make_job "$((100 + n))" $((200 + n * 20)) >"$expect/$name" || fail "cannot write job $name"
  cp "$expect/$name" "$spool/.$name" || fail "cannot write job $name"
  names="$names $name"
done
start=$(now_ms)
for name in $names; do mv "$spool/.$name" "$spool/$name" || fail "cannot rename job $name"; done
if ! wait_delivered "$drain_seconds" $names; then
  got=0
  for name in $names; do delivered "$name" && got=$((got + 1)); done
  fail "drain: only $got of 20 queued jobs delivered within $drain_seconds s"
fi
ms=$(($(now_ms) - start))
echo "drain of 20 queued jobs: $ms ms ($((ms / 20)) ms a job)"
