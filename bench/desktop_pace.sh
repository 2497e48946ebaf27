#!/usr/bin/env bash
# The desktop tool's own sequence code (its read-back and full send controllers, links, link tick and
# dialog timer, run without windows by tvx230-pace-driver) against a virtual unit, at the two paces chosen
# under "インターフェイス":
# - 高速 over the serial line at 38400 baud, against the line-rate limit: the virtual unit on a
#   pseudo-terminal holds each answer until the command and the answer would have crossed a 38400 baud
#   line (11 bits a byte), so no run can be faster than the limit, which is the bytes that crossed the link
#   at that rate. Goal: at most 1.2 times the limit.
# - 高速 against 標準 over loopback TCP. Goal: at least 50 times faster. (標準 takes about 47 s a run.)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bin=${TVX230_BIN_DIR:-$here/build/bin}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

for program in tvx230-pace-driver tvx230-unit; do
  [[ -x $bin/$program ]] || { echo "build $program first (looked in $bin)" >&2; exit 2; }
done

wait_for_line() { for _ in $(seq 200); do [[ -s $1 ]] && return 0; sleep 0.05; done; echo "no $2" >&2; exit 1; }

"$bin/tvx230-unit" --pty --line-rate 38400 --quiet >"$work/pty" 2>/dev/null &
wait_for_line "$work/pty" "pseudo-terminal from the virtual unit"
pty=$(head -1 "$work/pty")
"$bin/tvx230-unit" --tcp-server 0 --quiet >"$work/port" 2>/dev/null &
wait_for_line "$work/port" "port from the virtual unit"
tcp="127.0.0.1:$(head -1 "$work/port")"

run() { # link-option link pace command -> "seconds sent received state"
  local out
  out=$("$bin/tvx230-pace-driver" "$1" "$2" --pace "$3" "$4" 2>"$work/driver.err") ||
    { echo "$4 at $3 over $2 did not complete: $out" >&2; cat "$work/driver.err" >&2; exit 1; }
  echo "$out"
}

for command in read-back full-send; do
  read -r seconds sent received _ < <(run --serial "$pty" fast "$command")
  awk -v c="$command" -v s="$seconds" -v b=$((sent + received)) 'BEGIN {
    limit = b * 11 / 38400
    printf "%-9s 高速 over the serial line at 38400 baud: %.2f s, line-rate limit %.2f s (%d bytes), %.3f times the limit (goal <= 1.2)\n",
           c, s, limit, b, s / limit }'
done
for command in read-back full-send; do
  read -r fast _ < <(run --tcp "$tcp" fast "$command")
  read -r standard _ < <(run --tcp "$tcp" standard "$command")
  awk -v c="$command" -v f="$fast" -v s="$standard" 'BEGIN {
    printf "%-9s over loopback TCP: 標準 %.2f s, 高速 %.3f s, %.0f times faster (goal >= 50)\n", c, s, f, s / f }'
done
