#!/usr/bin/env bash
# The PNG icons rendered from the SVG exist at every size the desktop entry is installed with.
set -euo pipefail
folder=$1
shift
for size in "$@"; do
  png="$folder/${size}x${size}/ovdesk.png"
  kind=$(file -b "$png")
  case "$kind" in
    "PNG image data, $size x $size, "*) ;;
    *) echo "FAIL: $png: $kind"; exit 1 ;;
  esac
done
echo "icons: $*"
