#!/usr/bin/env bash
# CPU used while waiting for an answer that never comes: a unit that answers nothing, and one command
# with a reply time-out of WAIT seconds (default 10). Prints the share of one core the CLI used over
# TCP and over a pseudo-terminal (the target is under 5 %).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bin=${TVX230_BIN_DIR:-$here/build/bin}
wait_s=${WAIT:-10}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

for program in tvx230-cli tvx230-unit; do
  [[ -x $bin/$program ]] || { echo "build $program first (looked in $bin)" >&2; exit 2; }
done
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }

# Prints user, system and elapsed seconds of one CLI run that waits for the answer in vain.
timed() {
  if /usr/bin/time -f '%U %S %e' -o "$work/time" "$bin/tvx230-cli" "$@" --quiet --reply-timeout "$wait_s" \
      send RVN 2>/dev/null; then
    echo "an answer came from a silent unit" >&2
    exit 1
  fi
  tail -1 "$work/time"
}
share() { awk -v what="$1" '{ printf "%s: %.2f s of CPU in %.2f s waiting, %.2f %% of one core\n", what, $1 + $2, $3, 100 * ($1 + $2) / $3 }'; }

"$bin/tvx230-unit" --tcp-server 0 --silent --quiet >"$work/port" 2>/dev/null &
for _ in $(seq 100); do [[ -s $work/port ]] && break; sleep 0.05; done
timed --tcp "127.0.0.1:$(head -1 "$work/port")" | share "TCP, no answer"

"$bin/tvx230-unit" --pty --silent --quiet >"$work/pty" 2>/dev/null &
for _ in $(seq 100); do [[ -s $work/pty ]] && break; sleep 0.05; done
timed --serial "$(head -1 "$work/pty")" | share "serial line, no answer"
