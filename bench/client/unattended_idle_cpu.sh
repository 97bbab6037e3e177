#!/bin/sh
# CPU used by the real client while unattended polling idles: qorprtt runs in
# a private tmux server with the default adapter and an empty spool, is put
# into unattended operation, and its user + system clock ticks are read from
# /proc over the measuring period.
#   bench/client/unattended_idle_cpu.sh BIN_DIR [SECONDS]
set -eu
bin=${1:?usage: $0 BIN_DIR [SECONDS]}
seconds=${2:-60}
work=$(mktemp -d /tmp/qoridle.XXXXXX)
sock="$work/tmux"
cleanup() { tmux -S "$sock" kill-server 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT INT TERM
for f in qorprtt QORPRTW.QOR razevu3.so; do cp "$bin/$f" "$work/"; done
echo installed > "$work/QORPRTW.INI"
mkdir "$work/spool" "$work/downloads"
tmux -S "$sock" -f /dev/null new-session -d -x 100 -y 30 -c "$work" \
  "env QOR_REGISTRY=$work/registry.reg QOR_SPOOL=$work/spool sh -c 'echo \$\$ > pid; exec ./qorprtt $work/downloads'; sleep 5"
wait_for() {  # text, seconds
  i=0
  while ! tmux -S "$sock" capture-pane -p | grep -q "$1"; do
    i=$((i + 1)); [ $i -gt $(($2 * 10)) ] && { echo "timed out waiting for: $1" >&2; exit 1; }
    sleep 0.1
  done
}
wait_for "Exit  Transfer" 15
sleep 3  # the timed start-up window
tmux -S "$sock" send-keys M-t; wait_for "Unattended operation" 5
tmux -S "$sock" send-keys u; wait_for "Unattended Operation" 5
tmux -S "$sock" send-keys Enter; wait_for "waiting for the next job" 5
pid=$(cat "$work/pid")
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
hz=$(getconf CLK_TCK)
used=$((after - before))
echo "unattended polling idle for ${seconds} s: ${used} clock ticks (${hz}/s) of CPU," \
     "$(awk -v u="$used" -v h="$hz" -v s="$seconds" 'BEGIN { printf "%.3f%%", 100 * u / h / s }') of one core"
tmux -S "$sock" send-keys C-x
