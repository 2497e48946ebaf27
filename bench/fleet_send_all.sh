#!/usr/bin/env bash
# Fleet: send-all to 8 virtual units at once with --pace reply, against the same send to 1 unit.
# Prints the median of each over RUNS runs and their ratio (the target is at most 1.5).
#
# The figure is the tool's own "succeeded in" time: from the moment every unit has connected to the
# last unit's last answer, so process start-up and the units' connecting do not count.
#
# Each virtual unit takes UNIT_DELAY_MS before it answers, as a unit's processing does; with no delay at
# all the units answer in microseconds and the run measures only how fast this machine's cores move
# bytes between two processes, which is printed as a second, informational line.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bin=${TVX230_BIN_DIR:-$here/build/bin}
runs=${RUNS:-5}
delay=${UNIT_DELAY_MS:-5}
fleet=${FLEET:-8}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

for program in tvx230-cli tvx230-unit; do
  [[ -x $bin/$program ]] || { echo "build $program first (looked in $bin)" >&2; exit 2; }
done

# A document with titles on every page, so each line is as long as a real one.
"$bin/tvx230-unit" --tcp-server 0 --quiet >"$work/port" 2>/dev/null &
server=$!
for _ in $(seq 100); do [[ -s $work/port ]] && break; sleep 0.05; done
"$bin/tvx230-cli" --tcp "127.0.0.1:$(head -1 "$work/port")" --pace reply --quiet read-back -o "$work/doc.dat"
kill $server; wait $server 2>/dev/null || true

# One timed run: the CLI listens, the units connect; prints the seconds the CLI reports.
one_run() {
  local units=$1 unit_delay=$2
  "$bin/tvx230-cli" --listen 127.0.0.1:0 --units "$units" --wait 20 --pace reply send-all "$work/doc.dat" \
    2>"$work/cli.err" &
  local cli=$!
  local port=""
  for _ in $(seq 200); do
    port=$(grep -o 'listening on port [0-9]*' "$work/cli.err" | grep -o '[0-9]*$' || true)
    [[ -n $port ]] && break
    sleep 0.02
  done
  "$bin/tvx230-unit" --tcp-client "127.0.0.1:$port" --count "$units" --delay "$unit_delay" --quiet \
    >/dev/null 2>&1 &
  local units_pid=$!
  wait $cli || { echo "send-all failed:" >&2; cat "$work/cli.err" >&2; exit 1; }
  kill $units_pid; wait $units_pid 2>/dev/null || true
  grep -o 'succeeded in [0-9.]*' "$work/cli.err" | grep -o '[0-9.]*$'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure() {
  local unit_delay=$1
  local single fleet_time
  single=$(for _ in $(seq "$runs"); do one_run 1 "$unit_delay"; done | median)
  fleet_time=$(for _ in $(seq "$runs"); do one_run "$fleet" "$unit_delay"; done | median)
  awk -v s="$single" -v f="$fleet_time" -v n="$fleet" -v d="$unit_delay" 'BEGIN {
    printf "send-all, units answering after %s ms: 1 unit %.3f s, %d units %.3f s, ratio %.2f\n", d, s, n, f, f / s }'
}

echo "fleet send-all --pace reply (median of $runs runs)"
measure "$delay"
measure 0 | sed 's/$/  (informational: no unit delay, bound by this machine'"'"'s cores)/'
