#!/usr/bin/env bash
# tvx230-cli.exe under Wine over COM1, against the line rate: send-all and read-back at --pace reply to a
# virtual unit of the Linux build on a pseudo-terminal, which holds each answer until the command and the
# answer would have crossed a 38400 baud line (11 bits a byte). The limit is the bytes both ways at that
# rate. Goal: send-all within 1.3 times the limit. The same runs by the Linux CLI on the same line are
# printed beside them, for what Wine's serial emulation costs.
#
#   bench/windows_serial.sh   (after scripts/build and scripts/test-windows; RUNS=3 by default)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bin=${TVX230_BIN_DIR:-$here/build/bin}
win=${TVX230_WINDOWS_BIN_DIR:-$here/build-windows/bin}
runs=${RUNS:-3}
for program in "$bin/tvx230-cli" "$bin/tvx230-unit" "$win/tvx230-cli.exe"; do
  [[ -x $program || -f $program ]] || { echo "build $program first" >&2; exit 2; }
done
work=$(mktemp -d); [[ -n ${KEEP:-} ]] && echo "work: $work" >&2
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
trap 'kill $(jobs -p) 2>/dev/null || true; wineserver -k 2>/dev/null || true; [[ -n ${KEEP:-} ]] || rm -rf "$work"' EXIT
wait_for_line() { for _ in $(seq 200); do [[ -s $1 ]] && return 0; sleep 0.05; done; echo "no $2" >&2; exit 1; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# The bytes of a log's lines (both ways, line ends included); <XX> stands for one byte.
bytes() { grep -v '  注記  ' "$@" | sed -E 's/^[^ ]+ [^ ]+  (送信|受信)  [^ ]+  //; s/<[0-9A-F]{2}>/./g' |
  LC_ALL=C awk '{ n += length($0) } END { print n }'; }

# A document with a title on every page (16 kanji), so that each title line is a realistic one.
"$bin/tvx230-unit" --tcp-server 0 --quiet >"$work/port" 2>/dev/null &
wait_for_line "$work/port" "port from the virtual unit"
"$bin/tvx230-cli" --tcp "127.0.0.1:$(head -1 "$work/port")" --pace reply -q read-back -o "$work/blank.dat"
kill %1
title=$(python3 -c "print(('日本語文字放送' * 3)[:16], end='')" | iconv -f UTF-8 -t SHIFT_JIS)
n=0
while IFS= read -r line || [[ -n $line ]]; do
  n=$((n + 1))
  if ((n >= 4 && n <= 67)); then printf '%s\r\n' "$title"; else printf '%s\n' "$line"; fi
done <"$work/blank.dat" >"$work/doc.dat"

"$bin/tvx230-unit" --pty --line-rate 38400 --quiet >"$work/pty" 2>/dev/null &
wait_for_line "$work/pty" "pseudo-terminal from the virtual unit"
pty=$(head -1 "$work/pty")
# COM1 of a prefix of the bench's own is the unit's pseudo-terminal.
wine wineboot --init >/dev/null 2>&1 || true
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$pty" /f >/dev/null 2>&1
wineserver -w
wineserver -p5
ln -sfn "$pty" "$WINEPREFIX/dosdevices/com1"

run() { # windows|linux log command... -> seconds
  local program=("$bin/tvx230-cli") device=$pty
  [[ $1 == windows ]] && program=(wine "$win/tvx230-cli.exe") device=COM1
  (cd "$work" && "${program[@]}" --serial "$device" --pace reply --log "$2" "${@:3}" >/dev/null 2>"$work/cli.err") ||
    { echo "${*:3} failed:" >&2; cat "$work/cli.err" >&2; exit 1; }
  grep -o 'succeeded in [0-9.]*' "$work/cli.err" | grep -o '[0-9.]*$'
}
for side in windows linux; do
  for run_number in $(seq "$runs"); do run "$side" "send-$side.log" send-all doc.dat; done | median >"$work/send-$side"
  for run_number in $(seq "$runs"); do run "$side" "read-$side.log" read-back -o back.dat; done | median >"$work/read-$side"
done
# The last run's log of each kind gives the bytes of one run.
send_bytes=$(bytes "$work/send-linux.log")
read_bytes=$(bytes "$work/read-linux.log")
awk -v sw="$(cat "$work/send-windows")" -v sl="$(cat "$work/send-linux")" -v rw="$(cat "$work/read-windows")" \
    -v rl="$(cat "$work/read-linux")" -v sb="$send_bytes" -v rb="$read_bytes" -v n="$runs" 'BEGIN {
  s = sb * 11 / 38400; r = rb * 11 / 38400
  printf "send-all over COM1 at 38400 baud: tvx230-cli.exe under Wine %.2f s, %.3f times the line-rate limit %.2f s (%d bytes; goal <= 1.3); Linux CLI %.2f s (%.3f times); median of %d\n", sw, sw / s, s, sb, sl, sl / s, n
  printf "read-back over COM1 at 38400 baud: tvx230-cli.exe under Wine %.2f s, %.3f times the line-rate limit %.2f s (%d bytes); Linux CLI %.2f s (%.3f times); median of %d\n", rw, rw / r, r, rb, rl, rl / r, n }'
