#!/usr/bin/env bash
# The installer, under Wine: builds the MSI of this build (scripts/package-windows) and an "older release"
# of it (a lower version that carried a file this one no longer does and another qt.conf), installs the
# older one, upgrades it with this one, runs the installed programs, checks that a downgrade is refused,
# uninstalls, and checks that nothing is left behind. In a Wine prefix of its own, since the build's shared
# prefix serves the other tests at the same time.
#
#   msi_install.sh SOURCE_DIR BUILD_DIR WORK
set -euo pipefail
source_dir=$1 build=$2 work=$3
older=0.0.1

rm -rf "$work" && mkdir -p "$work"
unset DISPLAY WAYLAND_DISPLAY
# No Mono or Gecko offers, and no menu entries of the Linux desktop for the shortcut the installer makes.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k 2>/dev/null || true' EXIT
fail() { echo "FAILED: $*"; exit 1; }
started=$(date +%s)

# The MSIs.
msi=$("$source_dir/scripts/package-windows" --no-build "$build" | tail -n 1)
version=$(basename "$msi" | sed -n 's/^tvx230-\(.*\)-x64\.msi$/\1/p')
[ -f "$msi" ] && [ -n "$version" ] || fail "scripts/package-windows made no MSI ($msi)"
[ "$(printf '%s\n' "$older" "$version" | sort -V | head -n 1)" = "$older" ] && [ "$older" != "$version" ] ||
  fail "version $version is not above the older release's $older"
stage=$build/msi/stage
cp -a "$stage" "$work/old-stage"
echo "a file only the older release carried" >"$work/old-stage/retired.txt"
printf '[Paths]\r\nPrefix=.\r\n' >"$work/old-stage/qt.conf"
old_msi=$("$source_dir/scripts/package-windows" --version "$older" --stage "$work/old-stage" "$work" | tail -n 1)
echo "MSI: $msi ($(du -h "$msi" | cut -f1)), older release: $old_msi"

# The prefix: a copy of the build's, when there is one, is quicker than making one.
if [ -f "$build/wine-prefix/system.reg" ]; then
  cp -a "$build/wine-prefix" "$WINEPREFIX"
else
  wine wineboot --init >/dev/null 2>&1 || true
  wineserver -w
fi
# One server for the whole test rather than one per program.
wineserver -p5 2>/dev/null || true
program_files=$WINEPREFIX/drive_c/Program\ Files/tvx230
windows_path() { local p=$1; echo "Z:${p//\//\\}"; }
msiexec() { # /i or /x, MSI: quiet, with a log kept for a failure
  local log
  log=$work/msiexec-$(date +%s%N).log
  wine msiexec "$1" "$(windows_path "$2")" /qn /l*v "$(windows_path "$log")"
}
# The products of this name Windows Installer has registered, one DisplayVersion line each.
installed_versions() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
    awk '$1 == "DisplayName" { name = substr($0, index($0, "REG_SZ") + 10) }
         $1 == "DisplayVersion" && name == "TVX-230 Client Program" { print $3 }
         /^HKEY/ { name = "" }'
}
shortcuts() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/*' -name 'TVX-230 Client Program.lnk'; }

# The older release.
msiexec /i "$old_msi" || fail "msiexec /i of the older release failed ($?)"
[ "$(installed_versions)" = "$older" ] || fail "after installing $older the registered versions are: $(installed_versions)"
[ -f "$program_files/retired.txt" ] || fail "the older release's files are not in Program Files\\tvx230"

# The upgrade: one product, of this version, with exactly this build's files.
msiexec /i "$msi" || fail "msiexec /i of $version over $older failed ($?)"
[ "$(installed_versions)" = "$version" ] ||
  fail "after the upgrade the registered versions are: $(installed_versions | tr '\n' ' ') (expected only $version)"
diff -r "$stage" "$program_files" >"$work/upgrade.diff" ||
  fail "the installed files are not this build's: $(head -n 5 "$work/upgrade.diff")"
echo "upgrade $older -> $version: one product registered, the installed files are this build's"

# The Start menu entry, with the tool's icon. (Windows puts a per-machine install's entry into the common
# Start menu; Wine 8 takes the user's Programs folder for ProgramMenuFolder either way.)
[ "$(shortcuts | wc -l)" -eq 1 ] || fail "no single Start menu entry: $(shortcuts)"
grep -qa 'tvx230\.exe' "$(shortcuts)" || fail "the Start menu entry does not point at tvx230.exe"
product_icon=$(find "$WINEPREFIX/drive_c/windows/Installer" -name tvx230.ico | head -n 1)
[ -n "$product_icon" ] && cmp -s "$product_icon" "$build/msi/tvx230.ico" ||
  fail "the shortcut's icon was not installed"

# The installed programs run from where they were installed, with the DLLs and plugins installed beside them.
out=$(wine "C:\\Program Files\\tvx230\\tvx230-cli.exe" --version 2>&1 | tr -d '\r') ||
  fail "installed tvx230-cli.exe --version failed: $out"
grep -qF "$version" <<<"$out" || fail "installed tvx230-cli.exe --version printed: $out"
out=$(wine "C:\\Program Files\\tvx230\\tvx230-unit.exe" --version 2>&1 | tr -d '\r') ||
  fail "installed tvx230-unit.exe --version failed: $out"
out=$(wine "C:\\Program Files\\tvx230\\tvx230.exe" --help -platform offscreen 2>&1 | tr -d '\r') ||
  fail "installed tvx230.exe --help failed: $out"
grep -q '^Usage: tvx230' <<<"$out" || fail "installed tvx230.exe --help printed no usage: $out"
# The tool itself: it finds its platform plugin through the installed qt.conf and keeps running (Qt ends a
# program at once that has none).
wine "C:\\Program Files\\tvx230\\tvx230.exe" -platform offscreen >"$work/tool.out" 2>&1 &
tool=$!
sleep 4
kill -0 $tool 2>/dev/null || fail "the installed tool ended at once: $(tr -d '\r' <"$work/tool.out")"
wine taskkill /f /im tvx230.exe >/dev/null 2>&1 || true
wait $tool 2>/dev/null || true
echo "installed programs: $(head -n 1 <<<"$(wine "C:\\Program Files\\tvx230\\tvx230-cli.exe" --version | tr -d '\r')"), tvx230.exe --help and a start on the offscreen platform"

# A downgrade is refused and leaves the installation as it was.
if msiexec /i "$old_msi"; then fail "installing $older over $version succeeded"; fi
[ "$(installed_versions)" = "$version" ] || fail "a refused downgrade changed the registered versions"
diff -r "$stage" "$program_files" >/dev/null || fail "a refused downgrade changed the installed files"

# The uninstall leaves nothing: no folder in Program Files, no Start menu entry, no registered product.
msiexec /x "$msi" || fail "msiexec /x failed ($?)"
[ ! -e "$program_files" ] || fail "left in Program Files\\tvx230: $(cd "$program_files" && find . | head)"
[ ! -e "$WINEPREFIX/drive_c/Program Files (x86)/tvx230" ] || fail "a tvx230 folder in Program Files (x86)"
[ -z "$(shortcuts)" ] || fail "the Start menu entry is left: $(shortcuts)"
[ -z "$(installed_versions)" ] || fail "still registered after the uninstall: $(installed_versions)"
echo "uninstalled: nothing left in Program Files, the Start menu or the list of installed programs"

wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
rm -rf "$WINEPREFIX"
echo "msi_install: $(($(date +%s) - started)) s"
