#!/bin/sh
# A bounded soak of unattended operation against a host that misbehaves: the
# real client takes jobs through qor32pcs and a real s3270 from qorhost, which
# injects random faults (drops, stalls, garbage screens) into data screens,
# while this script restarts qorhost on the same port and kills the client's
# s3270 at random moments. A second client, headless, takes jobs from the same
# host into the same download directory. Where the script may mount a file
# system (root), the download directory lies on a small tmpfs that is filled
# now and then for a while: a disk-full period, after which every job must
# still arrive without a restart. JOBS jobs of 300 bytes to 60 KB are fed into
# the spool over the run (1 to 4 at a time whenever fewer than BACKLOG wait);
# then the script waits for the spool to empty, or for the time bound of
# MINUTES, and sorts every job:
#   delivered        the download directory holds NAME byte for byte
#   set aside        the host filed it in failed/ and the client kept NAME.incomplete*
#   incomplete only  no NAME, but NAME.incomplete or NAME.incomplete.N
#   still queued     nothing delivered and still in the spool at the time bound
#   DAMAGED          NAME differs from the job (must be zero)
#   TWICE            NAME.N holds the job too: delivered twice (must be zero)
#   LOST             none of the above: the host filed it, the client has nothing (must be zero)
# Exits non-zero when anything is DAMAGED, TWICE or LOST, or a client ended.
#   bench/client/unattended_soak.sh [--trace] BIN_DIR [JOBS] [MINUTES]
#   defaults: 300 jobs, at most 60 minutes
#   --trace  the client writes its trace, QORPRTW.TRC (big), into the work directory,
#            which is kept when the run fails or with KEEP=1
#   env: SEED (1; the faults, sizes and moments all follow from it), FAULT_PERCENT (3),
#        RESTART_EVERY (qorhost restarts on average every 90 s), KILL_EVERY (an s3270 is
#        killed on average every 120 s), BACKLOG (8), KEEP=1, SECOND_CLIENT (1; 0: one
#        client), DISK_FULL_EVERY (a disk-full period starts on average every 150 s; 0:
#        none), DISK_FULL_SECONDS (20)
# Not part of ./test: it runs for many minutes.
set -eu
trace=
if [ "${1:-}" = --trace ]; then trace=/D; shift; fi
bin=$(cd "${1:?usage: $0 [--trace] BIN_DIR [JOBS] [MINUTES]}" && pwd)
jobs=${2:-300}
minutes=${3:-60}
seed=${SEED:-1}
percent=${FAULT_PERCENT:-3}
restart_every=${RESTART_EVERY:-90}
kill_every=${KILL_EVERY:-120}
backlog=${BACKLOG:-8}
second_client=${SECOND_CLIENT:-1}
disk_full_every=${DISK_FULL_EVERY:-150}
disk_full_seconds=${DISK_FULL_SECONDS:-20}
. "$(dirname "$0")/unattended_setup.sh"
if [ "${KEEP:-}" = 1 ]; then keep_work=yes; fi

# The second client and the tmpfs go before the shared clean-up runs.
soak_cleanup() {
  if [ -n "$client2_pid" ] && kill -0 "$client2_pid" 2>/dev/null; then
    kill -TERM "$client2_pid" 2>/dev/null || true
    wait "$client2_pid" 2>/dev/null || true
  fi
  if [ -n "$disk" ]; then
    # A kept work directory keeps the downloads too: the tmpfs goes.
    if [ "$1" -ne 0 ] || [ "$keep_work" = yes ]; then
      rm -f "$downloads" && cp -a "$disk/downloads" "$downloads" 2>/dev/null || true
    fi
    umount "$disk" 2>/dev/null || umount -l "$disk" 2>/dev/null || true
  fi
}
trap 'st=$?; soak_cleanup $st; (exit $st); cleanup' EXIT

# The download directory on a tmpfs of its own, so that it can be filled.
disk=
if [ "$disk_full_every" -gt 0 ]; then
  if mkdir "$work/disk" && mount -t tmpfs -o size=256m qorsoak "$work/disk" 2>/dev/null; then
    disk="$work/disk"
    rmdir "$downloads" && mkdir "$disk/downloads" && ln -s "$disk/downloads" "$downloads" ||
      fail "cannot move the download directory onto the tmpfs"
  else
    say "cannot mount a tmpfs (not root?): no disk-full periods"
    disk_full_every=0
  fi
fi

# The script's own choices come from the seed too: r becomes 0 .. $1 - 1.
rng=$seed
random() { rng=$(((rng * 1103515245 + 12345) % 2147483648)); r=$((rng / 65536 % $1)); }

spool_count() { find "$spool" -maxdepth 1 -type f ! -name '.*' | wc -l; }

restarts=0
restart_host() {
  random 2
  if [ $r -eq 0 ]; then signal=KILL; else signal=TERM; fi
  stop_host $signal
  random 6
  say "qorhost stopped with SIG$signal; back in $r s"
  sleep $r
  restarts=$((restarts + 1))
  start_host --random-faults "$((seed + restarts)):$percent"
  say "qorhost restarted on port $port"
}

kills=0
kill_emulator() {
  victim=$client_pid
  if [ -n "$client2_pid" ]; then
    random 2
    if [ $r -eq 1 ]; then victim=$client2_pid; fi
  fi
  # A dead s3270 the client has not reaped yet is still listed: skip those.
  emulators=$(ps -o pid=,stat=,comm= --ppid "$victim" | awk '$3 == "s3270" && $2 !~ /^Z/ { print $1 }')
  if [ -z "$emulators" ]; then
    say "no s3270 under client $victim to kill"
    return 0
  fi
  kill -KILL $emulators 2>/dev/null || true
  kills=$((kills + 1))
  say "killed the s3270 of client $victim ($emulators)"
}

# The second client: headless, same host, same download directory.
client2_pid=
start_second_client() {
  env QOR_REGISTRY="$work/registry.reg" QOR_SESSIONS="$work/sessions" \
      QOR_EMULATOR_LOG="$work/emulator2.log" QOR_TRANSFER_LOG="$work/transfer2.log" \
      "$prog/qorprtt" --headless "$downloads" 2>"$work/client2.log" &
  client2_pid=$!
}
client2_alive() { [ -z "$client2_pid" ] || kill -0 "$client2_pid" 2>/dev/null; }

# A disk-full period: the tmpfs filled to the last byte, emptied again later.
full_periods=0
full_until=0
disk_full_begin() {
  dd if=/dev/zero of="$disk/filler" bs=1M >/dev/null 2>&1 || true
  full_periods=$((full_periods + 1))
  full_until=$(($(date +%s) + disk_full_seconds))
  say "the download directory's disk is full for $disk_full_seconds s"
}
disk_full_end() {
  rm -f "$disk/filler"
  full_until=0
  say "the download directory's disk has room again"
}

feed_job() {
  fed=$((fed + 1))
  name=$(printf 'S%04d' "$fed")
  random 1000
  size=$(awk -v r="$r" 'BEGIN { printf "%d", 300 * exp(r / 1000 * log(200)) }')
  make_job "$((seed * 100000 + fed))" "$size" >"$work/job" || fail "cannot write $work/job"
  put_job "$name" "$work/job"
}

has_incomplete() {
  for f in "$downloads/$1".incomplete*; do
    if [ -e "$f" ]; then return 0; fi
  done
  return 1
}

# True when a numbered NAME.N holds the job as well.
delivered_again() {
  for f in "$downloads/$1".[0-9]*; do
    if [ -f "$f" ] && cmp -s "$f" "$expect/$1"; then return 0; fi
  done
  return 1
}

# What became of a job: delivered, set aside, incomplete, queued, DAMAGED, TWICE or LOST.
classify() {
  if [ -f "$downloads/$1" ]; then
    if ! cmp -s "$downloads/$1" "$expect/$1"; then echo DAMAGED
    elif delivered_again "$1"; then echo TWICE
    else echo delivered; fi
  elif [ -e "$spool/failed/$1" ] && has_incomplete "$1"; then
    echo "set aside"
  elif has_incomplete "$1"; then
    echo incomplete
  elif [ -e "$spool/$1" ]; then
    echo queued
  else
    echo LOST
  fi
}

start_host --random-faults "$seed:$percent"
start_client $trace
if [ "$second_client" = 1 ]; then start_second_client; fi
say "qorhost on 127.0.0.1:$port, $percent % random faults from seed $seed; client pid $client_pid" \
    "${client2_pid:+and headless client pid $client2_pid}"
started=$(date +%s)
end=$((started + minutes * 60))
fed=0
client_ended=no
while :; do
  if [ "$(date +%s)" -ge "$end" ]; then say "time bound of $minutes min reached"; break; fi
  if ! client_alive; then say "the client has ended"; client_ended=yes; break; fi
  if ! client2_alive; then say "the headless client has ended"; client_ended=yes; break; fi
  if [ "$full_until" -gt 0 ] && [ "$(date +%s)" -ge "$full_until" ]; then disk_full_end; fi
  queued=$(spool_count)
  if [ "$fed" -lt "$jobs" ] && [ "$queued" -lt "$backlog" ]; then
    random 4
    for _ in $(seq 0 $r); do
      if [ "$fed" -lt "$jobs" ]; then feed_job; fi
    done
    say "fed $fed of $jobs jobs"
  elif [ "$fed" -ge "$jobs" ] && [ "$queued" -eq 0 ]; then
    say "all $fed jobs fed and the spool is empty"
    break
  fi
  random "$restart_every"
  if [ $r -eq 0 ]; then restart_host; fi
  random "$kill_every"
  if [ $r -eq 0 ]; then kill_emulator; fi
  if [ "$disk_full_every" -gt 0 ] && [ "$full_until" -eq 0 ]; then
    random "$disk_full_every"
    if [ $r -eq 0 ]; then disk_full_begin; fi
  fi
  sleep 1
done
if [ "$full_until" -gt 0 ]; then disk_full_end; fi

# The host files a job as the client acknowledges its end: give the client a
# moment to finish the last file.
i=0
while [ $i -lt 20 ]; do
  settled=yes
  for n in $(seq 1 "$fed"); do
    if [ "$(classify "$(printf 'S%04d' "$n")")" = LOST ]; then settled=no; break; fi
  done
  if [ $settled = yes ]; then break; fi
  i=$((i + 1)); sleep 1
done

delivered_n=0 aside_n=0 incomplete_n=0 queued_n=0 damaged='' twice='' lost=''
for n in $(seq 1 "$fed"); do
  name=$(printf 'S%04d' "$n")
  case $(classify "$name") in
    delivered) delivered_n=$((delivered_n + 1)) ;;
    "set aside") aside_n=$((aside_n + 1)) ;;
    incomplete) incomplete_n=$((incomplete_n + 1)) ;;
    queued) queued_n=$((queued_n + 1)) ;;
    DAMAGED) damaged="$damaged $name" ;;
    TWICE) twice="$twice $name" ;;
    LOST) lost="$lost $name" ;;
  esac
done
damaged_n=$(echo $damaged | wc -w)
twice_n=$(echo $twice | wc -w)
lost_n=$(echo $lost | wc -w)
others=$(find "$downloads/" -mindepth 1 -maxdepth 1 ! -name 'S[0-9][0-9][0-9][0-9]' ! -name 'S[0-9][0-9][0-9][0-9].incomplete*' ! -name '.*' | wc -l)
faults() { cat "$work"/qorhost.*.log | grep -c "fault: $1.*(random)" || true; }
tmux_ capture-pane -p >"$work/screen.txt" 2>/dev/null || echo "(no screen)" >"$work/screen.txt"

echo "soak of $(($(date +%s) - started)) s: $fed of $jobs jobs fed; ${client2_pid:+two clients; }$restarts" \
     "qorhost restarts, $kills s3270 kills, $full_periods disk-full periods; random faults:" \
     "$(faults dropping) drops, $(faults stalling) stalls, $(faults garbage) garbage screens"
echo "delivered $delivered_n, set aside $aside_n, incomplete only $incomplete_n, still queued $queued_n," \
     "DAMAGED $damaged_n, TWICE $twice_n, LOST $lost_n; other files in the download directory: $others"
if [ -n "$damaged" ]; then echo "DAMAGED:$damaged"; fi
if [ -n "$twice" ]; then echo "TWICE:$twice"; fi
if [ -n "$lost" ]; then echo "LOST:$lost"; fi
if [ $client_ended = yes ]; then
  echo "the client ended during the run (exit status $(cat "$work/client.status" 2>/dev/null || echo unknown))"
fi
if [ "$damaged_n" -ne 0 ] || [ "$twice_n" -ne 0 ] || [ "$lost_n" -ne 0 ] || [ $client_ended = yes ]; then
  echo "the client's screen at the end:"
  cat "$work/screen.txt"
  echo "logs: $work (qorhost.N.log, emulator.log, client2.log${trace:+, program/QORPRTW.TRC})"
  exit 1
fi
