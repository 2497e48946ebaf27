#!/usr/bin/env bash
# A large fleet as TCP client: send-all with --pace reply to 1, 8, 32 and 96 virtual units listed in a
# hosts file, every unit answering after UNIT_DELAY_MS (default 20). Prints for each size the median
# time over RUNS runs, t(N)/t(1) (the target is at most 1.5 for 96), and the CLI's own processor time
# (user + system, process start included) per exchange (the target is under 50 µs), and its peak memory.
#
# The time is the tool's own "succeeded in" figure: from the first unit's connecting to the last answer.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bin=${TVX230_BIN_DIR:-$here/build/bin}
runs=${RUNS:-3}
delay=${UNIT_DELAY_MS:-20}
sizes=${SIZES:-"1 8 32 96"}
work=$(mktemp -d)
unit_pid=""
trap '[[ -n $unit_pid ]] && kill "$unit_pid" 2>/dev/null; rm -rf "$work"' EXIT

for program in tvx230-cli tvx230-unit; do
  [[ -x $bin/$program ]] || { echo "build $program first (looked in $bin)" >&2; exit 2; }
done
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }

largest=0
for n in $sizes; do (( n > largest )) && largest=$n; done

# One process serves every unit, each on a port of its own.
"$bin/tvx230-unit" --tcp-server 0 --ports "$largest" --delay "$delay" --quiet >"$work/ports" 2>/dev/null &
unit_pid=$!
for _ in $(seq 200); do [[ $(wc -l <"$work/ports") -ge $largest ]] && break; sleep 0.05; done
[[ $(wc -l <"$work/ports") -ge $largest ]] || { echo "the virtual units did not start" >&2; exit 1; }

# A document with titles on every page, so each line is as long as a real one.
"$bin/tvx230-cli" --tcp "127.0.0.1:$(head -1 "$work/ports")" --pace reply --quiet read-back -o "$work/doc.dat"

exchanges_per_unit=117  # the full send's command lines, each answered
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One run against the first n units: prints "seconds cpu_seconds peak_kb".
one_run() {
  local n=$1
  head -"$n" "$work/ports" | sed 's/^/127.0.0.1:/' >"$work/hosts"
  if ! /usr/bin/time -f '%U %S %M' -o "$work/time" "$bin/tvx230-cli" --hosts "$work/hosts" --jobs "$n" \
      --pace reply send-all "$work/doc.dat" 2>"$work/cli.err"; then
    echo "send-all to $n units failed:" >&2; tail -5 "$work/cli.err" >&2; exit 1
  fi
  local seconds
  seconds=$(grep -o 'succeeded in [0-9.]*' "$work/cli.err" | grep -o '[0-9.]*$')
  awk -v s="$seconds" '{ printf "%s %.3f %d\n", s, $1 + $2, $3 }' "$work/time"
}

echo "fleet send-all as TCP client, --pace reply, units answering after $delay ms (median of $runs runs)"
t1=""
for n in $sizes; do
  for _ in $(seq "$runs"); do one_run "$n"; done >"$work/runs"
  t=$(cut -d' ' -f1 "$work/runs" | median)
  cpu=$(cut -d' ' -f2 "$work/runs" | median)
  kb=$(cut -d' ' -f3 "$work/runs" | median)
  [[ -z $t1 ]] && t1=$t
  awk -v n="$n" -v t="$t" -v t1="$t1" -v cpu="$cpu" -v kb="$kb" -v e="$exchanges_per_unit" 'BEGIN {
    printf "%3d units: %.3f s, t(N)/t(1) %.2f, CLI processor time %.3f s = %.1f us per exchange, peak %.1f MB\n",
           n, t, t / t1, cpu, cpu * 1e6 / (n * e), kb / 1024 }'
done
