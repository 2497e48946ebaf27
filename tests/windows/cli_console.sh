#!/usr/bin/env bash
# tvx230-cli.exe on a Windows console, for real under Wine: Ctrl+C pressed on the console in the middle of
# a fleet run ends it as SIGINT does on Linux (exit status 130, every unit reported interrupted, the report
# and the log written); and files and folders with Japanese names are read and written.
#
# Wine has a console to send Ctrl+C on only when it runs on a terminal, so the run goes through script(1).
#
#   cli_console.sh WINDOWS_BIN LINUX_BIN WORK
set -euo pipefail
win_bin=$1 linux_bin=$2 work=$3
if [ ! -x "$linux_bin/tvx230-unit" ] || [ ! -x "$linux_bin/tvx230-cli" ]; then
  echo "SKIPPED: the Linux build's tvx230-unit and tvx230-cli are not in $linux_bin"
  exit 0
fi
rm -rf "$work" && mkdir -p "$work" && cd "$work"
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT

# Eight units on loopback, a port each.
"$linux_bin/tvx230-unit" --tcp-server 0 --ports 8 --quiet >ports 2>/dev/null &
for _ in $(seq 200); do [ "$(wc -l <ports)" -ge 8 ] && break; sleep 0.05; done
[ "$(wc -l <ports)" -ge 8 ] || { echo "the virtual units did not start"; exit 1; }
sed 's/^/127.0.0.1:/' ports >hosts.txt
first=$(head -1 hosts.txt)

# Japanese names: a read-back into 設定.dat with its report in レポート/.
mkdir -p レポート
wine "$win_bin/tvx230-cli.exe" --tcp "$first" --pace reply -q --report 'レポート\報告.json' read-back -o 設定.dat \
  2>names.err || { echo "read-back into Japanese names failed:"; cat names.err; exit 1; }
[ -s 設定.dat ] && [ -s レポート/報告.json ] || { echo "設定.dat or レポート/報告.json was not written"; ls -la . レポート; exit 1; }
grep -q '"exit_status": *0' レポート/報告.json || { echo "the report does not say exit status 0"; exit 1; }
echo "Japanese names: 設定.dat ($(wc -c <設定.dat) bytes) and レポート/報告.json written"

# Ctrl+C one second into a send to eight units paced at 300 ms a line.
script -qec "wine '$win_bin/console_ctrl.exe' 1500 '$win_bin/tvx230-cli.exe' --hosts hosts.txt --jobs 8 \
  --pace 300 --report run.json --log run.log send-all 設定.dat" /dev/null >console.raw 2>&1 || true
# Wine's console draws a space as a cursor step: the text is read back without its escape sequences.
sed -E $'s/\x1b\\[1C/ /g; s/\x1b\\[[0-9;?]*[A-Za-z]//g; s/\r//g' console.raw >console.out
grep -q '^exit 130$' console.out || { echo "Ctrl+C did not end the run with exit status 130:"; tail -5 console.out; exit 1; }
[ -s run.json ] && [ -s run.log ] || { echo "the report or the log was not written after Ctrl+C"; exit 1; }
python3 - run.json <<'PY'
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
assert report["exit_status"] == 130, report["exit_status"]
units = report["units"]
assert len(units) == 8, len(units)
assert all(u["reason_code"] == "interrupted" for u in units), [u["reason_code"] for u in units]
PY
echo "Ctrl+C: exit status 130, 8 units reported interrupted, report and log written"
