#!/usr/bin/env bash
# apply of a document that changes one title, over the serial line at 38400 baud, against the line-rate
# limit of what it cannot avoid: reading the unit whole and that title's exchange. The virtual unit on a
# pseudo-terminal holds each answer until the command and the answer would have crossed a 38400 baud line
# (11 bits a byte), so the limit is the bytes of a read-back plus the title's command and answer at that
# rate. Goal: apply ends within 1.2 times the limit. (apply also reads the title back, which the limit
# leaves out.)
#
# The unit holds 64 titles of 16 kanji, so that each title read carries a realistic line. Each run changes
# one title (page 5 goes back and forth between two texts); the figure is the median of RUNS runs, each the
# tool's own "succeeded in" time, from connected to compared again.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bin=${TVX230_BIN_DIR:-$here/build/bin}
runs=${RUNS:-5}
work=$(mktemp -d); [[ -n ${KEEP:-} ]] && echo "work: $work" >&2
trap 'kill $(jobs -p) 2>/dev/null || true; [[ -n ${KEEP:-} ]] || rm -rf "$work"' EXIT

for program in tvx230-cli tvx230-unit; do
  [[ -x $bin/$program ]] || { echo "build $program first (looked in $bin)" >&2; exit 2; }
done
wait_for_line() { for _ in $(seq 200); do [[ -s $1 ]] && return 0; sleep 0.05; done; echo "no $2" >&2; exit 1; }

# A document with a title on every page: a read of the default unit with its title lines (lines 4 to 67)
# replaced by Shift JIS text.
"$bin/tvx230-unit" --tcp-server 0 --quiet >"$work/port" 2>/dev/null &
wait_for_line "$work/port" "port from the virtual unit"
"$bin/tvx230-cli" --tcp "127.0.0.1:$(head -1 "$work/port")" --pace reply -q read-back -o "$work/blank.dat"
kill %1
title() { # page text -> a line of 16 kanji
  python3 -c "import sys; print((sys.argv[1] * 16)[:16], end='')" "$1" | iconv -f UTF-8 -t SHIFT_JIS
}
make_document() { # out page-5-title
  local n=0
  while IFS= read -r line || [[ -n $line ]]; do
    n=$((n + 1))
    if ((n >= 4 && n <= 67)); then
      if ((n == 8)); then printf '%s\r\n' "$2"; else printf '%s\r\n' "$(title 日本語文字放送)"; fi
    else
      printf '%s\n' "$line"
    fi
  done <"$work/blank.dat" >"$1"
}
make_document "$work/a.dat" "$(title 映像表示装置)"
make_document "$work/b.dat" "$(title 文字多重放送)"

"$bin/tvx230-unit" --pty --line-rate 38400 --document "$work/a.dat" --quiet >"$work/pty" 2>/dev/null &
wait_for_line "$work/pty" "pseudo-terminal from the virtual unit"
pty=$(head -1 "$work/pty")

cli() { # log command... -> seconds
  "$bin/tvx230-cli" --serial "$pty" --pace reply --log "$work/$1" "${@:2}" >/dev/null 2>"$work/cli.err" ||
    { echo "${*:2} failed:" >&2; cat "$work/cli.err" >&2; exit 1; }
  grep -o 'succeeded in [0-9.]*' "$work/cli.err" | grep -o '[0-9.]*$'
}
# The bytes of a log's lines (both ways, line ends included); <XX> stands for one byte.
bytes() { sed -E 's/^[^ ]+ [^ ]+  (送信|受信)  [^ ]+  //; s/<[0-9A-F]{2}>/./g' "$@" | LC_ALL=C awk '{ n += length($0) } END { print n }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

read_back=$(cli read.log read-back -o "$work/back.dat")
read_bytes=$(bytes "$work/read.log")

for run in $(seq "$runs"); do
  source=$([[ $((run % 2)) == 1 ]] && echo b || echo a)
  cli apply.log apply "$work/$source.dat"
  grep -q 'changed 1 setting' "$work/cli.err" || { echo "apply changed other than one title:" >&2; cat "$work/cli.err" >&2; exit 1; }
done | median >"$work/apply"
# The title's exchange: its command and the answer after it.
title_bytes=$(grep -A1 '送信  [^ ]*  CA05' "$work/apply.log" | bytes)

awk -v a="$(cat "$work/apply")" -v r="$read_back" -v rb="$read_bytes" -v tb="$title_bytes" -v n="$runs" 'BEGIN {
  limit = (rb + tb) * 11 / 38400
  printf "read-back over the serial line at 38400 baud: %.2f s (%d bytes, line-rate %.2f s)\n", r, rb, rb * 11 / 38400
  printf "apply of one changed title: %.2f s (median of %d), limit %.2f s (read-back and the title, %d bytes), %.3f times the limit (goal <= 1.2)\n",
         a, n, limit, rb + tb, a / limit }'
