#!/usr/bin/env bash
# Renders the application icon's PNG sizes from resources/icons/zorvika.svg
# (run after changing the SVG; the PNGs are committed). Needs rsvg-convert
# (Debian's librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 16 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" zorvika.svg -o "hicolor/${size}x${size}/apps/zorvika.png"
done
