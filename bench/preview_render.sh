#!/usr/bin/env bash
# The monitor preview's speed (tvx230-preview-driver, offscreen): the median of 1,000 renders of a page with
# a full 224-cell title with glyph cells, scrolling, on a filled band, with the date line, for each size at
# the picture's size (720 x 540) and at the editors' (360 x 270). Goal: under 16 ms, one frame at 60 Hz.
# Then the page overview of 64 such pages opened and drawn. Goal: under 300 ms.
# Exit status 1 when a goal is missed.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bin=${TVX230_BIN_DIR:-$here/build/bin}
[[ -x $bin/tvx230-preview-driver ]] || { echo "build tvx230-preview-driver first (looked in $bin)" >&2; exit 2; }

out=$(QT_QPA_PLATFORM=offscreen "$bin/tvx230-preview-driver" "${1:-1000}")
echo "$out"
echo "$out" | awk '
  /^render/ { for (i = 1; i <= NF; ++i) if ($i == "median") m = $(i + 1); if (m + 0 >= 16) bad = 1 }
  /^overview/ { for (i = 1; i <= NF; ++i) if ($i == "open") m = $(i + 1); if (m + 0 >= 300) bad = 1 }
  END { if (bad) { print "a goal is missed (render under 16 ms, overview under 300 ms)"; exit 1 }
        print "goals met: every render median under 16 ms, the overview under 300 ms" }'
