#!/usr/bin/env bash
# Renders the PNG pictures the program ships from their SVG sources in
# resources/icons (run after changing an SVG; the PNGs are committed):
#  - the application icon's sizes, hicolor/<n>x<n>/apps/zorvika.png, from
#    zorvika.svg;
#  - every button icon at the size the buttons show it, png/<name>.png
#    (16 pixels), and at twice that for screens with a device pixel ratio
#    of 2, png/<name>@2x.png (32 pixels).
# Needs rsvg-convert (Debian's librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 16 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" zorvika.svg -o "hicolor/${size}x${size}/apps/zorvika.png"
done
mkdir -p png
for svg in *.svg; do
  name=${svg%.svg}
  [ "$name" = zorvika ] && continue
  rsvg-convert -w 16 -h 16 "$svg" -o "png/$name.png"
  rsvg-convert -w 32 -h 32 "$svg" -o "png/$name@2x.png"
done
