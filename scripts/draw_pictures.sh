#!/usr/bin/env bash
# Draws the program's pictures into resources/ with ImageMagick.
# The results are committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")/../resources"
font=DejaVu-Sans-Bold
tmp=$(mktemp -d)

# Application icon: a wrench-red disc with a white T.
for s in 16 24 32 48; do
  convert -size ${s}x${s} xc:none -fill '#8b1a1a' -stroke '#3a0a0a' -strokewidth $((s/16+1)) \
    -draw "circle $((s/2)),$((s/2)) $((s/2)),1" \
    -fill white -stroke none -font $font -pointsize $((s*3/4)) -gravity center -annotate +0+0 T \
    PNG32:$tmp/app$s.png
done
convert $tmp/app16.png $tmp/app24.png $tmp/app32.png $tmp/app48.png app.ico

# Banner 350x75: dark gradient, the name and what it does.
convert -size 350x75 gradient:'#5a0d0d'-'#1c1c1c' \
  -fill '#f2c14e' -font $font -pointsize 34 -gravity west -annotate +14-8 'Tavrin' \
  -fill '#e0e0e0' -font DejaVu-Sans -pointsize 12 -annotate +16+22 'Quake III Arena add-on installer' \
  -fill '#f2c14e' -draw 'rectangle 0,71 349,74' \
  -type TrueColor BMP3:banner.bmp

# Marker 18x12 for the About dialog's credits.
convert -size 18x12 xc:'#ece9d8' -fill '#8b1a1a' -draw 'polygon 3,1 15,6 3,11' \
  -type TrueColor BMP3:marker.bmp

# The four add-on buttons: a letter on a coloured tile each.
tile() { # size colour letter output
  convert -size $1 xc:none -fill "$2" -draw "roundrectangle 0,0 $(( ${1%x*}-1 )),$(( ${1#*x}-1 )) 4,4" \
    -fill white -font $font -pointsize $(( ${1%x*}*5/8 )) -gravity center -annotate +0+0 "$3" "$4"
}
tile 32x32 '#1f5fa8' C $tmp/cpma32.png
tile 11x11 '#1f5fa8' C $tmp/cpma11.png
convert $tmp/cpma11.png $tmp/cpma32.png -colors 16 cpma.ico
tile 32x32 '#2e7d32' D $tmp/defrag.png
convert $tmp/defrag.png -colors 16 defrag.ico
tile 32x32 '#6a1b9a' H $tmp/superhud.png
convert $tmp/superhud.png -background '#6a1b9a' -flatten superhud.ico
tile 48x49 '#ef6c00' G PNG32:$tmp/scanner.png
convert $tmp/scanner.png gamescanner.ico
rm -rf "$tmp"
