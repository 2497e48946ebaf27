#!/usr/bin/env bash
# The desktop tool's own fleet code (its TCP server link and fleet controller, run without windows by
# tvx230-fleet-driver) sending the full settings to 1 and to 96 virtual units that connect to it as
# clients, each unit answering 20 ms after every line (UNIT_DELAY_MS), at the two paces:
# - 高速: each unit's next line goes as soon as its answer has come. Goal: t(96)/t(1) at most 1.5.
# - 標準: a line every 400 ms, as the tool always sent. Goal: t(96)/t(1) at most 1.1 (the pace dominates;
#   each run takes about 47 s).
# Also prints the driver's peak resident memory with 96 units.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bin=${TVX230_BIN_DIR:-$here/build/bin}
delay=${UNIT_DELAY_MS:-20}
fleet=${FLEET:-96}
paces=${PACES:-"fast standard"}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

for program in tvx230-fleet-driver tvx230-unit; do
  [[ -x $bin/$program ]] || { echo "build $program first (looked in $bin)" >&2; exit 2; }
done

free_port() { # a port nobody listens on now
  local port
  for _ in $(seq 50); do
    port=$((20000 + RANDOM % 30000))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return 0; }
  done
  echo "no free port" >&2; exit 1
}

run() { # units pace -> "seconds ok failed peak_kib"
  local units=$1 pace=$2 port driver unit
  port=$(free_port)
  : >"$work/out"
  "$bin/tvx230-fleet-driver" --port "$port" --units "$units" --pace "$pace" >"$work/out" 2>"$work/driver.err" &
  driver=$!
  for _ in $(seq 200); do grep -q listening "$work/out" && break; sleep 0.05; done
  "$bin/tvx230-unit" --tcp-client "127.0.0.1:$port" --count "$units" --delay "$delay" --quiet 2>/dev/null &
  unit=$!
  if ! wait $driver; then
    echo "the full send to $units units at $pace did not succeed:" >&2; cat "$work/out" "$work/driver.err" >&2
    kill $unit 2>/dev/null || true; exit 1
  fi
  kill $unit 2>/dev/null || true; wait $unit 2>/dev/null || true
  tail -1 "$work/out"
}

for pace in $paces; do
  read -r one _ _ _ < <(run 1 "$pace")
  read -r many ok failed peak < <(run "$fleet" "$pace")
  [[ $pace == fast ]] && { name=高速; goal=1.5; } || { name=標準; goal=1.1; }
  awk -v n="$name" -v one="$one" -v many="$many" -v f="$fleet" -v ok="$ok" -v g="$goal" -v peak="$peak" 'BEGIN {
    printf "full send at %s, units answering after %d ms: t(1) %.2f s, t(%d) %.2f s (%d ok), t(%d)/t(1) %.3f (goal <= %s), peak memory %.1f MiB\n",
           n, '"$delay"', one, f, many, ok, f, many / one, g, peak / 1024 }'
done
