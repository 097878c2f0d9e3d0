#!/bin/sh
# Draws the logo shown in the empty movie area: a film frame with a play
# sign and the program's name, aqua on black. The result is committed as
# resources/logo.jpg; run this again only to change the picture.
set -eu
out=${1:-"$(dirname "$0")/../resources/logo.jpg"}
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
aqua='#00E5E5'

holes=""
for x in 22 36 50 64 78 92; do
  holes="$holes rectangle $x,24 $((x + 6)),30 rectangle $x,90 $((x + 6)),96"
done

convert -size 300x120 xc:black \
  -fill none -stroke "$aqua" -strokewidth 3 -draw "roundrectangle 14,18 106,102 8,8" \
  -fill "$aqua" -stroke none -draw "$holes" \
  -draw "polygon 48,42 48,78 78,60" \
  -font "$font" -pointsize 40 -fill "$aqua" -annotate +116+74 'Kelvara' \
  -strip -sampling-factor 4:2:0 -quality 88 "$out"
