#!/usr/bin/env bash
# Renders resources/velnor.svg into the hicolor PNG sizes under
# resources/icons/ (resources/velnor.png is the 256 px one). Run after changing
# the SVG; needs rsvg-convert (Debian librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 22 24 32 48 64 128; do
    mkdir -p "resources/icons/${size}x${size}"
    rsvg-convert -w "$size" -h "$size" resources/velnor.svg -o "resources/icons/${size}x${size}/velnor.png"
done
