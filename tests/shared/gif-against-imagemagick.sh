#!/usr/bin/env bash
# The windows' GIF decoder against ImageMagick's, pixel for pixel: the logos as the asset
# generator writes them, and the same pictures as ImageMagick writes them (full LZW compression,
# interlaced, one frame with a palette of its own), a 256-colour picture, one over 255 pixels each
# way (its sizes take both bytes), and a stream that starts without a clear code and in sub-blocks
# of one byte, as the format allows; one whose code table fills; and the logo without its trailer.
#   gif-against-imagemagick.sh <gif-to-rgba> <assets folder>
set -euo pipefail
decoder=$1 assets=$2
command -v convert >/dev/null || { echo "ImageMagick is not installed (make test installs it): skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$assets/logo.gif" "$assets/logo@2x.gif" "$work/"
convert "$assets/logo.gif" "$work/recompressed.gif"
convert "$assets/logo@2x.gif" -interlace GIF "$work/interlaced.gif"
convert -size 64x48 gradient:red-blue -colors 256 "$work/colours.gif"
convert -size 300x260 gradient:gold-navy -colors 16 "$work/large.gif"
convert "$assets/logo.gif" -colors 7 +remap "$work/local-palette.gif"
convert -size 1x1 xc:gold "$work/one-pixel.gif"
# 2 x 2, four colours; the codes 1, 6 (the first it defines), 1, end, in two sub-blocks of a byte.
head='GIF89a\x02\x00\x02\x00\x81\x00\x00\xc0\xc0\x00\xff\xff\xff\x00\x00\x00\x80\x80\x80'
frame='\x00\x00\x00\x00\x02\x00\x02\x00\x00\x02\x01\x71\x01\x0a\x00\x3b'
printf '%b' "$head" '\x2c' "$frame" >"$work/no-clear-code.gif"
printf '%b' "$head" '\x2d' "$frame" >"$work/unknown-block"
# 64 x 64, four colours, whose code table fills and is used full, with no clear code after it, as
# the format allows: 4089 codes of 0, then 1 and 0 (the table's last entry, 4095, is "10"), 4095
# itself, and three more 0s.
python3 - "$work/full-code-table.gif" <<'EOF'
import struct, sys
out, bits, count, width, defined = bytearray(), 0, 0, 3, 6
for at, code in enumerate([4] + [0] * 4089 + [1, 0, 4095] + [0] * 3 + [5]):
    bits |= code << count
    count += width
    while count >= 8:
        out.append(bits & 0xFF)
        bits, count = bits >> 8, count - 8
    if at > 1 and defined < 4096:  # each code after the first defines an entry
        defined += 1
        if defined == 1 << width and width < 12:
            width += 1
if count:
    out.append(bits)
blocks = b"".join(bytes([len(out[i:i + 255])]) + out[i:i + 255] for i in range(0, len(out), 255))
palette = bytes([0xC0, 0xC0, 0, 255, 255, 255, 0, 0, 0, 128, 128, 128])
with open(sys.argv[1], "wb") as gif:
    gif.write(b"GIF89a" + struct.pack("<HHBBB", 64, 64, 0x81, 0, 0) + palette + b"\x2c"
              + struct.pack("<HHHHB", 0, 0, 64, 64, 0) + b"\x02" + blocks + b"\x00\x3b")
EOF
# The same with its codes' last byte left out: three pixels of four.
printf '%b' "$head" '\x2c' '\x00\x00\x00\x00\x02\x00\x02\x00\x00\x02\x01\x71\x00\x3b' >"$work/short-picture"
# A comment that claims 255 bytes where fewer are left, a whole picture among them.
printf '%b' "$head" '\x21\xfe\xff\x00\x2c' "$frame" >"$work/cut-comment"
# Refused, not read past its end: a block that is no frame, a picture whose codes end before its
# pixels do, a comment cut short, and the logo cut short in its header, its palette, its picture
# and its last block's end.
bytes=$(stat -c %s "$assets/logo.gif")
for cut in 11 30 200 $((bytes - 2)); do head -c "$cut" "$assets/logo.gif" >"$work/cut-at-$cut"; done
# Read whole without its trailer, the very last byte, as ImageMagick and the browsers read it.
head -c $((bytes - 1)) "$assets/logo.gif" >"$work/no-trailer.gif"
for file in "$work"/unknown-block "$work"/short-picture "$work"/cut-comment "$work"/cut-at-*; do
  status=0
  "$decoder" "$file" "$work/ours.rgba" >/dev/null 2>&1 || status=$?
  [[ $status == 1 ]] || { echo "FAILED: $(basename "$file") gave $status, not a refusal"; exit 1; }
done
for gif in "$work"/*.gif; do
  name=$(basename "$gif")
  size=$("$decoder" "$gif" "$work/ours.rgba") || { echo "FAILED: $name not decoded"; exit 1; }
  convert "$gif[0]" -background black -alpha background rgba:"$work/theirs.rgba"
  [[ $size == "$(identify -format '%w %h' "$gif[0]")" ]] || { echo "FAILED: $name is $size"; exit 1; }
  cmp -s "$work/ours.rgba" "$work/theirs.rgba" || { echo "FAILED: $name decodes to other pixels"; exit 1; }
  echo "$name ($size): the same pixels as ImageMagick's"
done
