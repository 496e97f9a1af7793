#!/bin/sh
# Draws the fixed-size PNG icons with the same shapes as the scalable jp.bralden.Kelvo.svg
# (this ImageMagick has no SVG reader): a pale answer sheet with the red ring a teacher
# draws beside a correct answer. Drawn at 512 px and scaled down for smooth edges.
# Run once by a developer after changing the picture; the PNGs are committed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
# The SVG's 128-unit coordinates times 4.
convert -size 512x512 xc:none \
    -fill '#fbf8ef' -stroke '#c9c0a8' -strokewidth 12 \
    -draw "roundrectangle 40,24 472,488 32,32" \
    -stroke '#e6e0cf' -draw "line 80,120 432,120" -draw "line 80,392 432,392" \
    -fill none -stroke '#d81818' -strokewidth 52 -draw "circle 256,256 408,256" \
    "$here/icon-512.png"
for size in 48 128; do
    convert "$here/icon-512.png" -resize "${size}x${size}" -strip \
        "PNG32:$here/jp.bralden.Kelvo-$size.png"
done
rm -f "$here/icon-512.png"
identify "$here"/jp.bralden.Kelvo-*.png
