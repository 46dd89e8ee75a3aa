#!/bin/sh
# Renders every sample design with its default texts into docs/gallery/, the
# pictures of docs/designs.md, and the guide's lettering designs
# (docs/images/lettering/, made by make-designs) into docs/lettering/, with
# the command-line tool:
#   sh tools/make-gallery.sh [path/to/zotmaker-cli]
# The test GalleryPictures fails while a picture differs from what its
# design renders. Text is drawn with only the fonts the package depends on.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build/bin/zotmaker-cli}
mkdir -p "$root/docs/gallery"
# The fonts the test that checks these pictures sees, on every machine.
pinned=$(mktemp -d)
trap 'rm -rf "$pinned"' EXIT
FONTCONFIG_FILE=$(sh "$root/tools/pinned-fonts.sh" "$pinned")
export FONTCONFIG_FILE
for design in "$root"/designs/*/; do
    name=$(basename "$design")
    slug=$(printf '%s' "$name" | tr 'A-Z ' 'a-z-')
    "$cli" render "$design" --out "$root/docs/gallery/$slug.png" --format png
done
mkdir -p "$root/docs/lettering"
for design in "$root"/docs/images/lettering/*/; do
    name=$(basename "$design")
    "$cli" render "$design" --out "$root/docs/lettering/$name.png" --format png
done
