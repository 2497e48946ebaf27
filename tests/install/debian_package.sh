#!/usr/bin/env bash
# Makes the Debian package from the build with CPack, checks its control data, unpacks it into a temporary
# root and runs the programs from there.
#   debian_package.sh BUILD_DIR VERSION SOURCE_DIR
source "$(dirname "$0")/checks.sh"

if ! (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack could not make the package" >&2
  exit 1
fi
debs=("$work"/out/*.deb)
[ "${#debs[@]}" = 1 ] && [ -f "${debs[0]}" ] || {
  echo "FAIL: cpack made ${#debs[@]} packages: ${debs[*]}" >&2
  exit 1
}
deb=${debs[0]}

[ "$(dpkg-deb -f "$deb" Package)" = tvx230 ] || fail "package name $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6core6 libqt6network6 libqt6serialport6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins \
  fonts-ipafont-gothic qt6-translations-l10n; do
  grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
# Nothing to do at installation: no maintainer scripts.
dpkg-deb -e "$deb" "$work/control"
for script in preinst postinst prerm postrm; do
  [ ! -e "$work/control/$script" ] || fail "the package has a $script script"
done

listing=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for path in usr/bin/tvx230 usr/bin/tvx230-cli usr/bin/tvx230-unit \
  usr/share/applications/org.tvx230.tvx230.desktop usr/share/metainfo/org.tvx230.tvx230.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/org.tvx230.tvx230.svg \
  usr/share/icons/hicolor/48x48/apps/org.tvx230.tvx230.png \
  usr/share/man/man1/tvx230-cli.1.gz usr/share/man/man1/tvx230-unit.1.gz \
  usr/share/doc/tvx230/copyright usr/share/doc/tvx230/changelog.gz; do
  grep -qx "\./$path" <<<"$listing" || fail "the package lacks /$path"
done

# Debian's own checks: no error (warnings and notes are printed for the reader).
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >"$work/lintian" 2>&1 || fail "lintian finds errors: $(grep -v '^running with root' "$work/lintian")"
  grep -v '^running with root' "$work/lintian" >&2 || true
else
  fail "lintian is not installed (scripts/setup installs it)"
fi

# The unpacked programs run from the temporary root (the libraries are the system's).
dpkg-deb -x "$deb" "$work/root"
bin=$work/root/usr/bin
# The changelog names the package's version.
changelog_version=$(gzip -dc "$work/root/usr/share/doc/tvx230/changelog.gz" | head -1 | sed -n 's/^tvx230 (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$version" ] || fail "the changelog's version is '$changelog_version', not $version"
out=$("$bin/tvx230-cli" --version) || fail "tvx230-cli --version exits with $?"
[ "$out" = "tvx230-cli $version" ] || fail "tvx230-cli --version says '$out'"
out=$("$bin/tvx230" --version) || fail "tvx230 --version exits with $?"
[ "$out" = "tvx230 $version" ] || fail "tvx230 --version says '$out'"
out=$("$bin/tvx230-unit" --version) || fail "tvx230-unit --version exits with $?"
[ "$out" = "tvx230-unit $version" ] || fail "tvx230-unit --version says '$out'"

documents=$source/fuzz/corpus/settings_document
status=0
"$bin/tvx230-cli" diff "$documents/default.dat" "$documents/default.dat" >"$work/same" || status=$?
[ "$status" = 0 ] && [ ! -s "$work/same" ] || fail "diff of a document with itself: status $status, $(cat "$work/same")"
status=0
"$bin/tvx230-cli" diff "$documents/default.dat" "$documents/varied.dat" >"$work/differ" || status=$?
[ "$status" = 1 ] || fail "diff of two different documents: status $status"
[ -s "$work/differ" ] && ! grep -qv $'^[^\t]*\t[^\t]*\t[^\t]*\t[^\t]*$' "$work/differ" ||
  fail "diff of two different documents does not print tab-separated differences: $(head -3 "$work/differ")"

finish "$(basename "$deb"): $(stat -c %s "$deb") bytes; Depends: $depends"
