#!/bin/sh
# Renders the application icon's PNG sizes from its SVG into the hicolor
# layout under data/icons. The PNGs are kept in the repository, so building
# needs no SVG renderer; run this again after changing the SVG.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -eu
cd "$(dirname "$0")/.."
id=org.zotmaker.Zotmaker
svg=data/icons/hicolor/scalable/apps/$id.svg
for size in 16 22 24 32 48 64 128 256; do
    dir=data/icons/hicolor/${size}x${size}/apps
    mkdir -p "$dir"
    rsvg-convert --width "$size" --height "$size" --format png --output "$dir/$id.png" "$svg"
done
