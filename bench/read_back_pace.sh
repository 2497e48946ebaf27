#!/usr/bin/env bash
# read-back over loopback TCP: --pace reply against the tool's own pace (one read every 400 ms).
# Prints both times and the speed-up (the target is at least 10). The tool's pace takes about 48 s.
#
# The figure is the tool's own "succeeded in" time, from connected to the file written.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bin=${TVX230_BIN_DIR:-$here/build/bin}
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

for program in tvx230-cli tvx230-unit; do
  [[ -x $bin/$program ]] || { echo "build $program first (looked in $bin)" >&2; exit 2; }
done

"$bin/tvx230-unit" --tcp-server 0 --quiet >"$work/port" 2>/dev/null &
for _ in $(seq 100); do [[ -s $work/port ]] && break; sleep 0.05; done
unit="127.0.0.1:$(head -1 "$work/port")"

one_run() {
  "$bin/tvx230-cli" --tcp "$unit" "$@" read-back -o "$work/back.dat" 2>"$work/cli.err" ||
    { echo "read-back failed:" >&2; cat "$work/cli.err" >&2; exit 1; }
  grep -o 'succeeded in [0-9.]*' "$work/cli.err" | grep -o '[0-9.]*$'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

reply=$(for _ in $(seq "$runs"); do one_run --pace reply; done | median)
own=$(one_run)
awk -v r="$reply" -v o="$own" -v n="$runs" 'BEGIN {
  printf "read-back over loopback TCP: tool pace %.3f s, --pace reply %.3f s (median of %d), %.0f times faster\n",
         o, r, n, o / r }'
