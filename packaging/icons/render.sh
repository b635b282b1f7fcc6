#!/usr/bin/env bash
# Renders the icon drawings to the PNG files kept beside them:
# korvel-16.svg and korvel-24.svg are redrawn on the pixel grid for the two
# smallest sizes; korvel.svg gives every larger size and is installed as the
# scalable icon. Run after changing a drawing and commit the PNG files.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"

for size in 16 24 32 48 64 128 256; do
    src=korvel.svg
    [ -e "korvel-$size.svg" ] && src=korvel-$size.svg
    rsvg-convert --width "$size" --height "$size" --format png "$src" --output "korvel-$size.png"
done
