#!/usr/bin/env bash
# Installs the build under a temporary prefix and checks what a desktop and a man reader find there.
#   install_layout.sh BUILD_DIR VERSION SOURCE_DIR
source "$(dirname "$0")/checks.sh"
root=$work/root

cmake --install "$build" --prefix "$root" >/dev/null
id=org.tvx230.tvx230
desktop=$root/share/applications/$id.desktop
metainfo=$root/share/metainfo/$id.metainfo.xml

for program in tvx230 tvx230-cli tvx230-unit; do
  if [ ! -x "$root/bin/$program" ]; then
    fail "bin/$program is not installed"
    continue
  fi
  # The installed program, without the build tree, names the project's version.
  out=$("$root/bin/$program" --version 2>&1) || fail "$program --version exits with $?"
  [ "$out" = "$program $version" ] || fail "$program --version says '$out', not '$program $version'"
done
# The desktop tool tells how to start it without a display and without opening a window: xcb with no
# display to reach would abort it.
if out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$root/bin/tvx230" --help 2>&1); then
  grep -q '^Usage: tvx230 ' <<<"$out" || fail "tvx230 --help says '$out'"
else
  fail "tvx230 --help exits with $?: $out"
fi

# Desktop entry: valid, and it names a program and an icon that are installed.
[ -f "$desktop" ] || fail "no desktop entry"
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the entry"
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$root/bin/$exec_name" ] || fail "the entry starts '$exec_name', which is not installed"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ "$icon" = "$id" ] || fail "the entry's icon is '$icon'"
  # English by default, Japanese for a Japanese desktop, for each text a menu shows.
  for key in Name GenericName Comment; do
    grep -q "^$key=[ -~]*\$" "$desktop" || fail "the entry's $key is not English"
    grep -q "^$key\[ja\]=.*[^ -~]" "$desktop" || fail "the entry has no Japanese $key[ja]"
  done
fi

# Icon: the drawing, and each bitmap size at the size its folder says.
[ -s "$root/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
  png=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
  if [ ! -s "$png" ]; then
    fail "no ${size}x${size} icon"
    continue
  fi
  # PNG: the signature, then the IHDR chunk with width and height as 32-bit big-endian numbers.
  read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
  width=$(((w0 << 24) | (w1 << 16) | (w2 << 8) | w3))
  height=$(((h0 << 24) | (h1 << 16) | (h2 << 8) | h3))
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "${size}x${size} icon is ${width}x${height}"
done

# Software-centre metadata: valid without the network, this version, the entry as launchable.
[ -f "$metainfo" ] || fail "no metainfo"
if [ -f "$metainfo" ]; then
  appstreamcli validate --no-net "$metainfo" >/dev/null || {
    appstreamcli validate --no-net "$metainfo" >&2
    fail "appstreamcli refuses the metainfo"
  }
  grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
  grep -q '<caption>[^<]' "$metainfo" || fail "the screenshot has no description"
  for element in name summary p caption; do
    grep -q "<$element xml:lang=\"ja\">" "$metainfo" || fail "the metainfo has no Japanese $element"
  done
fi

# The copyright and the changelog where Debian keeps them.
[ -s "$root/share/doc/tvx230/copyright" ] || fail "no share/doc/tvx230/copyright"
[ -s "$root/share/doc/tvx230/changelog.gz" ] || fail "no share/doc/tvx230/changelog.gz"

# Manual pages: they render without a warning, under their own name.
for page in tvx230 tvx230-cli tvx230-unit; do
  file=$root/share/man/man1/$page.1.gz
  if [ ! -f "$file" ]; then
    fail "no manual page for $page"
    continue
  fi
  text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>"$work/man-warnings") || fail "man -l $page fails"
  [ ! -s "$work/man-warnings" ] || fail "man -l $page warns: $(cat "$work/man-warnings")"
  grep -q "^NAME" <<<"$text" || fail "the $page page has no NAME section"
done

# Every option the programs list in their --help is in their manual page, and nothing more is there.
options_of_help() { "$1" --help | grep -o -- '--[a-z][a-z0-9-]*' | sort -u; }
options_of_page() { sed 's/\\-/-/g' "$1" | grep -o -- '--[a-z][a-z0-9-]*' | sort -u; }
for program in tvx230 tvx230-cli tvx230-unit; do
  help_options=$(options_of_help "$root/bin/$program")
  page_options=$(options_of_page "$source/data/man/$program.1")
  missing=$(comm -23 <(echo "$help_options") <(echo "$page_options"))
  extra=$(comm -13 <(echo "$help_options") <(echo "$page_options"))
  [ -z "$missing" ] || fail "$program.1 does not describe:" $missing
  [ -z "$extra" ] || fail "$program.1 describes options $program does not have:" $extra
done

finish "installed layout, desktop entry, icon, metainfo and manual pages are in order"
