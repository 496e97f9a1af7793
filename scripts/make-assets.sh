#!/bin/sh
# Draws the exam window's pictures and synthesises its chime into src/resources.
# Run once by a developer; the results are committed, so a build never needs these tools.
# Needs ImageMagick (convert, identify) and sox, and the IPAGothic font.
set -eu
# Same input, same bytes: sox dithers with a fixed seed.
export SOX_OPTS=-R

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/src/resources"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

font=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
if [ ! -f "$font" ]; then
    font=$(fc-match -f '%{file}' IPAGothic)
fi

# --- background.gif: 794 x 567, a pale exam sheet: paper tone, faint ruled lines, a soft
# band at the top and a thin margin rule on the left. Few colours, so the GIF stays small
# and black captions stay readable anywhere on it.
paper='#fbf8ef'
rule='#e6e0cf'
band='#ece6d3'
margin='#efd6d0'
draw_rules=""
y=40
while [ "$y" -lt 567 ]; do
    draw_rules="$draw_rules line 0,$y 793,$y"
    y=$((y + 20))
done
convert -size 794x567 "xc:$paper" +antialias \
    -fill "$band" -draw "rectangle 0,0 793,28" \
    -stroke "$rule" -strokewidth 1 -draw "$draw_rules" \
    -stroke "$margin" -draw "line 146,0 146,566" \
    "$out/background.gif"

# --- figures.jpg: 510 x 238, black line drawings on white. Figure 1 a triangle ABC with
# a point P on BC; figure 2 a parabola y = x^2 - 2x over x and y axes.
parabola=""
i=0
while [ "$i" -le 60 ]; do
    # x runs from -0.9 to 2.9; 35 px per unit, the origin at (330,150).
    x=$(awk "BEGIN { print -0.9 + 3.8 * $i / 60 }")
    px=$(awk "BEGIN { printf \"%.1f\", 330 + 35 * $x }")
    py=$(awk "BEGIN { printf \"%.1f\", 150 - 35 * ($x * $x - 2 * $x) }")
    parabola="$parabola $px,$py"
    i=$((i + 1))
done
convert -size 510x238 xc:white \
    -stroke black -strokewidth 2 -fill none \
    -draw "polygon 120,30 30,190 220,190" \
    -strokewidth 1 -draw "line 120,30 150,190" \
    -fill black -stroke none -draw "circle 150,190 152.5,190" \
    -font "$font" -pointsize 15 \
    -draw "text 113,24 'A'" -draw "text 14,200 'B'" -draw "text 224,200 'C'" \
    -draw "text 145,208 'P'" \
    -pointsize 16 -draw "text 100,230 '図１'" \
    -stroke black -strokewidth 1 -fill none \
    -draw "line 270,150 470,150" -draw "line 330,205 330,20" \
    -draw "polyline 464,146 470,150 464,154" -draw "polyline 326,26 330,20 334,26" \
    -strokewidth 2 -draw "polyline$parabola" \
    -fill black -stroke none -draw "circle 365,185 367.5,185" -pointsize 14 \
    -draw "text 475,155 'x'" -draw "text 337,28 'y'" -draw "text 316,166 'O'" \
    -draw "text 403,166 '2'" -draw "text 372,203 '(1,-1)'" \
    -pointsize 16 -draw "text 360,230 '図２'" \
    -quality 92 -sampling-factor 1x1 -strip \
    "$out/figures.jpg"

# --- maru.ico: a red ring, a teacher's mark for a correct answer. One icon file holding
# 32x32 in 16 colours, 16x16 in 16 colours and 32x32 in 256 colours, in that order.
# The marks stand on the yellow answer panel, so the ring's soft edge is blended with that
# yellow, and the yellow key colour becomes transparent through each image's AND mask.
key='#ffff00'
ring() { # size, ring radius, stroke width, colours, file
    c=$(awk "BEGIN { print ($1 - 1) / 2 }")
    e=$(awk "BEGIN { print $c + $2 }")
    convert -size "$1x$1" "xc:$key" -fill none -stroke '#d81818' -strokewidth "$3" \
        -draw "circle $c,$c $e,$c" +dither -colors "$4" -type Palette "$5"
}
ring 32 12.5 3.5 16 "$work/a32.bmp"
ring 16 6 2 16 "$work/a16.bmp"
ring 32 12.5 3.5 256 "$work/b32.bmp"
# Without an alpha channel ImageMagick keeps the palette depths (4, 4 and 8 bits per pixel)
# but leaves every AND mask opaque; the mask is filled in below.
convert "$work/a32.bmp" "$work/a16.bmp" "$work/b32.bmp" "$work/maru.ico"
python3 - "$work/maru.ico" "$out/maru.ico" <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
count = struct.unpack_from("<H", data, 4)[0]
for i in range(count):
    offset = struct.unpack_from("<I", data, 6 + 16 * i + 12)[0]
    _, w, h2, _, bpp, _, _, _, _, used, _ = struct.unpack_from("<IiiHHIIiiII", data, offset)
    h = h2 // 2
    colours = used or (1 << bpp)
    palette = offset + 40
    keys = {n for n in range(colours)
            if tuple(data[palette + 4 * n:palette + 4 * n + 3]) == (0, 255, 255)}  # BGR
    assert keys, "the key colour did not survive quantisation"
    xor = palette + 4 * colours
    xor_stride = ((w * bpp + 31) // 32) * 4
    mask = xor + xor_stride * h
    mask_stride = ((w + 31) // 32) * 4
    for y in range(h):
        for x in range(w):
            bit = x * bpp
            byte = data[xor + y * xor_stride + bit // 8]
            index = (byte >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1)
            if index in keys:
                data[mask + y * mask_stride + x // 8] |= 0x80 >> (x % 8)
open(sys.argv[2], "wb").write(data)
PY

# --- chime.wav (installed under the build's chime name): a soft three-note chime (E6, C6, G5, descending), each a sine with a
# quiet octave partial and an exponential decay, overlapping, 22050 Hz mono 16-bit,
# 2.97 s (about 128 KB), peaking at -3 dBFS.
bell() { # frequency, delay in seconds, file: a fundamental with a quiet octave, decaying
    sox -n -r 22050 -c 1 -b 16 "$work/$3-1.wav" synth 2.3 sine "$1" fade l 0.012 2.3 2.28
    sox -n -r 22050 -c 1 -b 16 "$work/$3-2.wav" synth 1.2 sine "$(awk "BEGIN { print $1 * 2 }")" \
        fade l 0.012 1.2 1.18 vol 0.3 pad 0 1.1
    sox -m "$work/$3-1.wav" "$work/$3-2.wav" "$work/$3.wav" pad "$2" 0
}
bell 1318.51 0 e
bell 1046.50 0.40 c
bell 783.99 0.80 g
sox -m "$work/e.wav" "$work/c.wav" "$work/g.wav" "$work/mix.wav" \
    trim 0 2.97 fade t 0 2.97 0.3 norm -3
sox "$work/mix.wav" -t wav -e signed-integer -b 16 "$out/chime.wav"

identify "$out/background.gif" "$out/figures.jpg" "$out/maru.ico"
sox --i "$out/chime.wav"
