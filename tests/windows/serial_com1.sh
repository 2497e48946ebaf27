#!/usr/bin/env bash
# The serial line of the Windows programs, for real: tvx230-cli.exe under Wine opens COM1, which Wine maps
# to a link of the build (scripts/test-windows sets that up), which points at the pseudo-terminal of a
# virtual unit of the Linux build. Checks, byte for byte, that a read-back over COM1 gives the unit's own
# document and that a full send over COM1 leaves the unit holding the document sent; and that the port
# list shows COM1.
#
#   serial_com1.sh WINDOWS_BIN LINUX_BIN COM1_LINK WORK
set -euo pipefail
win_bin=$1 linux_bin=$2 com1=$3 work=$4
for program in "$linux_bin/tvx230-unit" "$linux_bin/tvx230-cli"; do
  if [ ! -x "$program" ]; then
    echo "SKIPPED: $program is not built (build the Linux tree first, or set TVX230_LINUX_BIN)"
    exit 0
  fi
done
rm -rf "$work" && mkdir -p "$work"
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
wait_for_line() { for _ in $(seq 200); do [ -s "$1" ] && return 0; sleep 0.05; done; echo "no $2" >&2; exit 1; }

# Two documents that differ in every title and in some settings: a read of a blank unit with its titles
# (lines 4 to 67) replaced by Japanese text.
"$linux_bin/tvx230-unit" --tcp-server 0 --quiet >"$work/port" 2>/dev/null &
wait_for_line "$work/port" "port from the virtual unit"
"$linux_bin/tvx230-cli" --tcp "127.0.0.1:$(head -1 "$work/port")" --pace reply -q read-back -o "$work/blank.dat"
kill %1
make_document() { # out text
  local n=0
  while IFS= read -r line || [ -n "$line" ]; do
    n=$((n + 1))
    if ((n >= 4 && n <= 67)); then
      printf '%s\r\n' "$(printf '%s' "$2" | iconv -f UTF-8 -t SHIFT_JIS)"
    else
      printf '%s\n' "$line"
    fi
  done <"$work/blank.dat" >"$1"
}
make_document "$work/unit.dat" "映像表示装置の文字"
make_document "$work/sent.dat" "文字多重放送"

"$linux_bin/tvx230-unit" --pty --document "$work/unit.dat" --save --quiet >"$work/pty" 2>"$work/unit.log" &
wait_for_line "$work/pty" "pseudo-terminal from the virtual unit"
# Wine resolves the link when its server starts; while it runs, its own link is the one that counts.
ln -sfn "$(head -1 "$work/pty")" "$com1"
ln -sfn "$(head -1 "$work/pty")" "$WINEPREFIX/dosdevices/com1"

cd "$work"
# The read-back: the document read over COM1 is the unit's, byte for byte.
wine "$win_bin/tvx230-cli.exe" --serial COM1 --pace reply --report read.json read-back -o back.dat \
  >read.out 2>read.err || { echo "read-back over COM1 failed:"; cat read.err; exit 1; }
cmp unit.dat back.dat || { echo "the document read over COM1 differs from the unit's"; exit 1; }
echo "read-back over COM1: $(wc -c <back.dat) bytes, identical to the unit's document"

# The full send: the unit then holds the document sent, and its own file (kept with --save) says so.
wine "$win_bin/tvx230-cli.exe" --serial COM1 --pace reply send-all sent.dat >send.out 2>send.err ||
  { echo "send-all over COM1 failed:"; cat send.err; exit 1; }
wine "$win_bin/tvx230-cli.exe" --serial COM1 --pace reply -q read-back -o after.dat 2>after.err ||
  { echo "read-back after the send failed:"; cat after.err; exit 1; }
cmp sent.dat after.dat || { echo "the unit does not hold the document sent over COM1"; exit 1; }
echo "send-all over COM1: $(grep -o 'succeeded in [0-9.]* s' send.err || echo done), the unit holds the document"
