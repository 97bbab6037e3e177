#!/usr/bin/env bash
# Runs print_gdi_job under Wine with a private CUPS queue as Wine's printer,
# then reads what reached the queue and the file port back as text and
# checks the font. usage: print_gdi_job.sh WINE JOB_EXE CUPS_TEST_SERVER
# Exit 77: something it needs is missing here (the reason on standard error).
set -euo pipefail
wine=$1 job=$2 cups=$3
for tool in pdftotext pdffonts ps2pdf lpstat; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed" >&2; exit 77; }
done
work=$(mktemp -d)
chmod 0755 "$work"  # the scheduler's filters run as another user
trap '"$cups" stop "$work/cups"; rm -rf "$work"' EXIT
queue=qorgdi
started=$("$cups" start "$work/cups" "$queue") || exit $?
export CUPS_SERVER=127.0.0.1:${started%% *}
mkdir -p "$work/out"
QOR_TEST_PRINTER=$queue QOR_TEST_OUT="$work/out" "$wine" "$job"

# Wait, with a time-out, until the queue has finished the job.
pdf=$work/cups/out/$queue.pdf
for _ in $(seq 1 600); do
  [ -s "$pdf" ] && [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && break
  sleep 0.1
done
[ -s "$pdf" ] || { echo "FAIL: the job never reached the queue" >&2; tail -n 20 "$work/cups/log/error_log" >&2; exit 1; }

status=0
expect() { # what, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1" >&2; diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") >&2 || true; status=1
  fi
}
# Lines as printed, each page after the first starting with a form feed;
# blank lines and trailing blanks dropped.
text() { pdftotext -layout "$1" - | sed 's/[[:space:]]*$//' | grep -v '^$' || true; }
expect "queue text" "$(printf 'QORPRINT GDI JOB\nLINE 2: 0123456789 ABC xyz\n\fPAGE TWO')" "$(text "$pdf")"
fonts=$(pdffonts "$pdf")
grep -q "DejaVuSerif-Bold" <<<"$fonts" || { echo "FAIL: the chosen font is not in the job:" >&2; echo "$fonts" >&2; status=1; }

ps2pdf "$work/out/file-port.prn" "$work/file-port.pdf"
expect "file port text" "$(printf 'FILE PORT JOB')" "$(text "$work/file-port.pdf")"
if [ -s "$work/out/empty.prn" ] && ps2pdf "$work/out/empty.prn" "$work/empty.pdf" &&
   [ -n "$(text "$work/empty.pdf")" ]; then
  echo "FAIL: an empty document printed something" >&2; status=1
fi
[ "$status" = 0 ] && echo "the job and the file-port job read back as printed"
exit $status
