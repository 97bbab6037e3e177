# Shared by the unattended benchmarks (sourced, not run): a private work
# directory holding the client's program files, a spool and a download
# directory; qorhost on 127.0.0.1; the real qorprtt in a private tmux server,
# talking to qorhost through qor32pcs and s3270, put into unattended operation.
# The sourcing script sets bin (the build's bin directory) first.
# shellcheck shell=sh

for tool in tmux s3270 pgrep awk cmp; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 1; }
done
for f in qorhost qorprtt QORPRTW.QOR qor32pcs.so pcshll32.so; do
  [ -e "$bin/$f" ] || { echo "$0: $bin/$f is missing: build qorhost qorprtt qor32pcs pcshll32 message_files" >&2; exit 1; }
done

work=$(mktemp -d /tmp/qorunatt.XXXXXX)
sock="$work/tmux"
prog="$work/program"
spool="$work/spool"
downloads="$work/downloads"
expect="$work/expected"
mkdir "$prog" "$spool" "$downloads" "$expect"
host_pid=
host_runs=0
port=0
client_pid=
keep_work=no

say() { echo "$(date +%H:%M:%S) $*"; }
fail() { echo "$0: $*" >&2; exit 1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

tmux_() { tmux -S "$sock" -f /dev/null "$@"; }
screen_has() { tmux_ capture-pane -p 2>/dev/null | grep -q "$1"; }
wait_screen() {  # text, seconds
  i=0
  while ! screen_has "$1"; do
    i=$((i + 1)); [ $i -gt $(($2 * 10)) ] && fail "timed out waiting for \"$1\" on the client's screen"
    sleep 0.1
  done
}
wait_screen_gone() {  # text, seconds
  i=0
  while screen_has "$1"; do
    i=$((i + 1)); [ $i -gt $(($2 * 10)) ] && fail "\"$1\" still on the client's screen after $2 s"
    sleep 0.1
  done
}

# qorhost on $port (0 the first time: it picks one, which is kept for restarts).
# Each run logs to its own file. Options go to qorhost.
start_host() {
  host_runs=$((host_runs + 1))
  log="$work/qorhost.$host_runs.log"
  for attempt in 1 2 3 4 5; do
    "$bin/qorhost" --spool "$spool" --port "$port" "$@" >"$log" 2>&1 &
    host_pid=$!
    i=0
    while [ $i -lt 100 ] && kill -0 "$host_pid" 2>/dev/null; do
      line=$(grep -m 1 '^qorhost listening on 127\.0\.0\.1:' "$log" || true)
      if [ -n "$line" ]; then
        port=${line##*:}
        return 0
      fi
      i=$((i + 1)); sleep 0.1
    done
    kill "$host_pid" 2>/dev/null || true
    wait "$host_pid" 2>/dev/null || true
    say "qorhost did not start (attempt $attempt): $(tail -n 1 "$log")"
    sleep 1
  done
  host_pid=
  fail "qorhost does not start; see $log"
}

stop_host() {  # signal
  [ -n "$host_pid" ] || return 0
  kill "-$1" "$host_pid" 2>/dev/null || true
  wait "$host_pid" 2>/dev/null || true
  host_pid=
}

# The client in the work directory, through qor32pcs and s3270 to qorhost.
# Arguments go to qorprtt after the download directory.
start_client() {
  echo "A s3270 127.0.0.1:$port" >"$work/sessions" || fail "cannot write the sessions file"
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT]\r\n"DLL"="QOR32PCS.DLL"\r\n"TIMEOUT"="20"\r\n' \
    >"$work/registry.reg" || fail "cannot write the registry file"
  for f in qorprtt QORPRTW.QOR qor32pcs.so pcshll32.so; do cp "$bin/$f" "$prog/" || fail "cannot copy $f"; done
  echo installed >"$prog/QORPRTW.INI" || fail "cannot write QORPRTW.INI"
  tmux_ new-session -d -x 100 -y 30 -c "$prog" \
    "env QOR_REGISTRY=$work/registry.reg QOR_SESSIONS=$work/sessions QOR_EMULATOR_LOG=$work/emulator.log QOR_TRANSFER_LOG=$work/transfer.log \
     sh -c 'echo \$\$ > $work/client.pid; exec ./qorprtt $downloads $*'; echo \$? > $work/client.status; sleep 5"
  wait_screen "Exit  Transfer" 30
  wait_screen_gone "QORPRINT for" 30
  client_pid=$(cat "$work/client.pid")
  tmux_ send-keys M-t; wait_screen "Unattended operation" 10
  tmux_ send-keys u; wait_screen "Unattended Operation" 10
  tmux_ send-keys Enter; wait_screen "waiting for the next job" 20
}

client_alive() { [ -n "$client_pid" ] && kill -0 "$client_pid" 2>/dev/null; }

# A job into the spool: written under a hidden name and renamed when complete,
# so that qorhost never serves half a job. Its bytes are kept to compare with.
put_job() {  # name, file with its bytes
  cp "$2" "$expect/$1" && cp "$2" "$spool/.$1" && mv "$spool/.$1" "$spool/$1" || fail "cannot write job $1"
}

# True when the client wrote the job byte for byte.
delivered() { [ -f "$downloads/$1" ] && cmp -s "$downloads/$1" "$expect/$1"; }

# A report of about BYTES bytes, the same for the same seed: numbered lines of
# varying width, rules, blank lines and now and then a form feed, so that the
# header's line and page counts mean something.
make_job() {  # seed, bytes
  awk -v seed="$1" -v size="$2" 'BEGIN {
    srand(seed)
    rule = "--------------------------------------------------------------------------------"
    blank = "                                                                                "
    n = 0
    for (line = 1; n < size; line++) {
      r = rand()
      if (r < 0.03 && line > 1) s = "\f"
      else if (r < 0.08) s = substr(rule, 1, 10 + int(rand() * 70)) "\n"
      else if (r < 0.12) s = "\n"
      else s = sprintf("%06d%s account %05d %12.2f\n", line, substr(blank, 1, int(rand() * 40)),
                       int(rand() * 100000), rand() * 1000000)
      printf "%s", s
      n += length(s)
    }
  }'
}

cleanup() {
  status=$?
  if client_alive; then
    emulators=$(pgrep -P "$client_pid" s3270 || true)
    tmux_ send-keys C-x 2>/dev/null || true
    i=0
    while client_alive && [ $i -lt 50 ]; do i=$((i + 1)); sleep 0.1; done
  fi
  tmux_ kill-server 2>/dev/null || true
  for p in ${emulators:-}; do
    [ "$(ps -o comm= -p "$p" 2>/dev/null)" = s3270 ] && kill "$p" 2>/dev/null || true
  done
  stop_host TERM
  if [ "$status" -ne 0 ] || [ "$keep_work" = yes ]; then
    echo "work directory kept: $work" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
