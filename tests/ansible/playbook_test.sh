#!/usr/bin/env bash
# The Ansible collection tvx230.units run for real: ansible-playbook with the local connection over an
# inventory of 8 virtual units on loopback, the modules finding tvx230-cli on the PATH. Then the modules'
# documentation (ansible-doc), a compile of every Python file and the sanity tests that run offline.
# Arguments: BIN_DIR (tvx230-cli, tvx230-unit) SOURCE_DIR.
set -euo pipefail
bin=$(cd "$1" && pwd) source=$(cd "$2" && pwd)
here=$source/tests/ansible
collections=$source/ansible/collections
collection=$collections/ansible_collections/tvx230/units
work=$(mktemp -d)
unit_pids=()
cleanup() {
  for pid in "${unit_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The Python ansible runs on; the modules run on it too (the first one on the PATH may lack ansible).
read -r -a shebang < <(sed -n '1s/^#! *//p' "$(command -v ansible-playbook)")
python=${shebang[0]}
[[ $python == */env ]] && python=$(command -v "${shebang[1]}")

# Ansible's folders, the home and the compiled Python files stay in the temporary folder; no ansible.cfg
# of the reader's is picked up.
mkdir -p "$work/home" "$work/tmp" "$work/backups"
: >"$work/ansible.cfg"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export ANSIBLE_CONFIG=$work/ansible.cfg ANSIBLE_LOCAL_TEMP=$work/tmp ANSIBLE_REMOTE_TEMP=$work/tmp
export ANSIBLE_COLLECTIONS_PATH=$collections ANSIBLE_NOCOLOR=1
export ANSIBLE_CALLBACK_PLUGINS=$here/callback_plugins ANSIBLE_STDOUT_CALLBACK=task_results
export ANSIBLE_FORKS=8 ANSIBLE_RETRY_FILES_ENABLED=0 PYTHONPYCACHEPREFIX=$work/pycache
export PATH=$bin:$PATH
cd "$work"

# The helpers without a unit.
(cd "$here" && PYTHONPATH=$collections "$python" -m unittest -q test_module_utils) 2>"$work/unittest.log" ||
  fail "the collection's helpers: $(cat "$work/unittest.log")"

# Units: seven in one process, the eighth in a process of its own so that it can go alone, and one more
# that the test documents are read from. All with a version of their own, which the modules return.
version=2.30
start_units() { # NAME COUNT: ports into NAME.ports, the units' line log into NAME.log
  tvx230-unit --tcp-server 0 --ports "$2" --unit-version "$version" >"$work/$1.ports" 2>"$work/$1.log" &
  unit_pids+=($!)
  for _ in $(seq 100); do
    (($(wc -l <"$work/$1.ports" 2>/dev/null || echo 0) >= $2)) && return
    sleep 0.1
  done
  fail "the virtual units $1 print no ports"
  exit 1
}
start_units seven 7
start_units eighth 1
eighth_pid=${unit_pids[-1]}
start_units source 1

# The first document differs from a fresh unit (page 5 LARGE, the alarm's hold time 012), the second from
# the first (page 7 SMALL besides).
source_cli() { tvx230-cli --tcp "127.0.0.1:$(cat "$work/source.ports")" --pace reply --quiet "$@" >/dev/null; }
source_cli send CFS05L
source_cli send ADT012
source_cli read-back -o "$work/first.dat"
source_cli send CFS07S
source_cli read-back -o "$work/second.dat"

{
  echo "[units]"
  n=0
  while read -r port; do
    n=$((n + 1))
    echo "unit$n tcp=127.0.0.1:$port"
  done < <(cat "$work/seven.ports" "$work/eighth.ports")
  echo "[units:vars]"
  echo "ansible_connection=local"
  echo "ansible_python_interpreter=$python"
} >"$work/inventory"

# play NAME PLAYBOOK [ARGS...]: runs the playbook; NAME.txt holds the summary of its tasks (task_results).
play() {
  local name=$1 playbook=$2 start rc=0
  shift 2
  start=$(date +%s%N)
  ansible-playbook -i "$work/inventory" -e "expected_version=$version" "$@" "$here/$playbook" \
    >"$work/$name.txt" 2>"$work/$name.err" || rc=$?
  echo "$name: ansible-playbook ended with $rc in $((($(date +%s%N) - start) / 1000000)) ms" >&2
  [ -s "$work/$name.txt" ] || fail "$name: no summary: $(cat "$work/$name.err")"
}
# expect NAME LINE...: each line is in the summary of run NAME.
expect() {
  local name=$1 line missing=0
  shift
  for line in "$@"; do
    grep -qxF -- "$line" "$work/$name.txt" || { fail "$name: no line '$line'"; missing=1; }
  done
  ((!missing)) || cat "$work/$name.txt" "$work/$name.err" >&2
}
# Setting lines (anything but a read) the units took, all eight together.
settings_received() { cat "$work/seven.log" "$work/eighth.log" | grep -c '<< [^R]' || true; }

# 1. Facts of fresh units.
play facts_fresh facts.yml -e '{"expected_settings": {"P05 文字サイズ": "MEDIUM", "P07 文字サイズ": "MEDIUM"}}'
expect facts_fresh $'Read the unit\tok=8 changed=0 failed=0' \
  $'The unit\'s version and every setting read\tok=8 changed=0 failed=0' \
  $'The expected settings\tok=8 changed=0 failed=0'

# 2, 3. The first document changes every unit, the second run none, and sends no setting line.
play apply_first settings.yml -e "document=$work/first.dat"
expect apply_first $'Apply the document\tok=8 changed=8 failed=0' $'The version and, when asked for, the diff\tok=8 changed=0 failed=0'
sent=$(settings_received)
((sent > 0)) || fail "the units took no setting line from the first apply"
play apply_again settings.yml -e "document=$work/first.dat"
expect apply_again $'Apply the document\tok=8 changed=0 failed=0'
(($(settings_received) == sent)) || fail "the second apply sent $(($(settings_received) - sent)) setting lines"

# 4. Check mode with diff: every unit would change, the diff names page 7, nothing is sent.
play check_diff settings.yml --check --diff -e "document=$work/second.dat" \
  -e '{"expected_before": "P07 文字サイズ: MEDIUM\n", "expected_after": "P07 文字サイズ: SMALL\n"}'
expect check_diff $'Apply the document\tok=8 changed=8 failed=0' $'The version and, when asked for, the diff\tok=8 changed=0 failed=0'
(($(settings_received) == sent)) || fail "check mode sent $(($(settings_received) - sent)) setting lines"
play facts_after_check facts.yml -e '{"expected_settings": {"P05 文字サイズ": "LARGE", "P07 文字サイズ": "MEDIUM"}}'
expect facts_after_check $'The expected settings\tok=8 changed=0 failed=0'

# 6. Backups: changed into empty folders, unchanged on the second run; the clock is always changed.
play backup_first backup_clock.yml -e "backup_root=$work/backups"
expect backup_first $'Back the unit up\tok=8 changed=8 failed=0' $'Set the clock\tok=8 changed=8 failed=0' \
  $'What the backup and the clock returned\tok=8 changed=0 failed=0'
play backup_again backup_clock.yml -e "backup_root=$work/backups"
expect backup_again $'Back the unit up\tok=8 changed=0 failed=0' $'Set the clock\tok=8 changed=8 failed=0'
# In check mode a unit that changed since is told, and its backup stays as it was.
manifest=$(sha256sum <"$work/backups/unit1/manifest.json")
tvx230-cli --tcp "127.0.0.1:$(head -1 "$work/seven.ports")" --quiet send CFS09L >/dev/null
play backup_check backup_clock.yml --check -e "backup_root=$work/backups"
expect backup_check $'Back the unit up\tok=8 changed=1 failed=0' $'Set the clock\tok=8 changed=8 failed=0'
[ "$(sha256sum <"$work/backups/unit1/manifest.json")" = "$manifest" ] || fail "a check-mode backup replaced the backup"
leftovers=$(find "$work/tmp" "$work/backups" -name 'tvx230-*')
[ -z "$leftovers" ] || fail "temporary folders left behind: $leftovers"

# Three hosts on one serial line (one unit on a pseudo-terminal), run at once: they take turns on the
# line, so none fails to open it; the first changes the unit, the others find it changed.
tvx230-unit --pty --quiet >"$work/pty" 2>/dev/null &
unit_pids+=($!)
for _ in $(seq 100); do [[ -s $work/pty ]] && break; sleep 0.1; done
{
  echo "[bus]"
  for n in 1 2 3; do echo "line$n serial_device=$(head -1 "$work/pty")"; done
  echo "[bus:vars]"
  echo "ansible_connection=local"
  echo "ansible_python_interpreter=$python"
} >>"$work/inventory"
play bus bus.yml -e "document=$work/first.dat"
expect bus $'Apply the document over the shared line\tok=3 changed=1 failed=0'

# 5. A unit that is gone fails its host alone, with the tool's reason_code; unit1, changed by hand
# above, gets the first document again.
kill "$eighth_pid"
wait "$eighth_pid" 2>/dev/null || true
play unit_gone settings.yml -e "document=$work/first.dat"
expect unit_gone $'Apply the document\tok=7 changed=1 failed=1'
grep -q $'^failed\tunit8\tconnection_refused\t.' "$work/unit_gone.txt" ||
  fail "unit8 does not fail with connection_refused: $(cat "$work/unit_gone.txt")"

# The modules' documentation, with the options shared through the doc fragment.
for module in settings:src backup:dest clock:at facts:; do
  name=${module%%:*} own=${module#*:}
  doc=$(ansible-doc -t module "tvx230.units.$name" 2>&1) || fail "ansible-doc tvx230.units.$name: $doc"
  for option in tcp serial rs485 pace reply_timeout cli $own; do
    grep -q -- "^[-=] $option\$" <<<"$doc" || fail "ansible-doc tvx230.units.$name does not document $option"
  done
  grep -q '^EXAMPLES:' <<<"$doc" && grep -q '^RETURN VALUES:' <<<"$doc" ||
    fail "ansible-doc tvx230.units.$name lacks examples or return values"
done

# Every Python file compiles.
while IFS= read -r -d '' file; do
  "$python" -m py_compile "$file" || fail "$file does not compile"
done < <(find "$collection" "$here" -name '*.py' -print0)

# The sanity tests that need no download (the others install their tools into virtual environments
# with pip from the network): on a copy, since ansible-test writes its output into the collection.
mkdir -p "$work/sanity/ansible_collections/tvx230"
cp -r "$collection" "$work/sanity/ansible_collections/tvx230/units"
offline_tests=(action-plugin-docs changelog compile empty-init future-import-boilerplate ignores line-endings
               metaclass-boilerplate no-assert no-basestring no-dict-iteritems no-dict-iterkeys
               no-dict-itervalues no-get-exception no-illegal-filenames no-main-display no-smart-quotes
               no-unicode-literals replace-urlopen shebang symlinks use-argspec-type-path use-compat-six)
python_version=$("$python" -c 'import sys; print("%d.%d" % sys.version_info[:2])')
if command -v ansible-test >/dev/null; then
  (cd "$work/sanity/ansible_collections/tvx230/units" &&
    ansible-test sanity --local --python "$python_version" "${offline_tests[@]/#/--test=}") \
    >"$work/sanity.log" 2>&1 || fail "ansible-test sanity: $(cat "$work/sanity.log")"
fi

if ((failures)); then
  echo "$failures failures" >&2
  exit 1
fi
echo "the collection works over 8 units: facts, settings, check and diff, backup, clock, a unit gone"
