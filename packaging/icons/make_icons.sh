#!/usr/bin/env bash
# Draws the PNG sizes of the application icon from its SVG (rsvg-convert, package
# librsvg2-bin). The PNG files are kept in the repository; run this script only after changing
# the SVG.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$here/com.norvane.SafetyCRCTool.svg" \
        -o "$here/com.norvane.SafetyCRCTool-$size.png"
done
