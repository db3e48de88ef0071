#!/usr/bin/env bash
# Draws the program icon and the tray animation frames with ImageMagick and writes them as .ico
# files beside this script. Run it again after changing a drawing; the results are committed.
set -euo pipefail
cd "$(dirname "$0")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A navy tile with a white speech bubble holding three lines of text.
draw_base() {  # draw_base OUT.png
  convert -size 256x256 xc:none \
    -fill '#1d3577' -draw 'roundrectangle 8,8,247,247,44,44' \
    -fill white -draw 'roundrectangle 36,48,220,176,36,36' \
    -fill white -draw 'polygon 70,168 118,168 62,222' \
    -fill '#1d3577' -draw 'roundrectangle 64,78,192,92,7,7' \
    -fill '#1d3577' -draw 'roundrectangle 64,106,192,120,7,7' \
    -fill '#1d3577' -draw 'roundrectangle 64,134,150,148,7,7' \
    "$1"
}

draw_base "$work/base.png"
convert "$work/base.png" -define icon:auto-resize=256,64,48,32,24,16 talvorine.ico

# Tray frames: frame 0 is the icon at rest; frames 1 to 3 send an orange dot to the right
# while a file goes out to the LAN.
for frame in 0 1 2 3; do
  if [ "$frame" -eq 0 ]; then
    cp "$work/base.png" "$work/frame$frame.png"
  else
    x=$((96 + frame * 36))
    convert "$work/base.png" -fill '#ff8c1a' -stroke white -strokewidth 10 \
      -draw "circle $x,200 $((x + 30)),200" "$work/frame$frame.png"
  fi
  convert "$work/frame$frame.png" -define icon:auto-resize=32,24,20,16 "tray$frame.ico"
done
