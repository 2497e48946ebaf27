# Sourced by the install tests: their arguments (BUILD_DIR VERSION SOURCE_DIR), a temporary folder that
# goes away with the test, and checks that report every failure before the test fails.
set -euo pipefail
build=$(cd "$1" && pwd) version=$2 source=$(cd "$3" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# Ends the test: failed when any check failed, otherwise with the given line.
finish() {
  if ((failures)); then
    echo "$failures failures" >&2
    exit 1
  fi
  echo "$*"
}
