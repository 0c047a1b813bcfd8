#!/bin/sh
# Draws the pictures of the capture window's DVD progress page into the folder given:
# a pale blue abstract background and a 128 x 128 clock face. The clock's corners take the
# background's plain upper colour, where the clock is shown.
set -eu
out=$1
mkdir -p "$out"
plain='#e6f0fa'
convert -size 468x274 xc:"$plain" \
  \( -size 468x110 gradient:"$plain"-'#bcd6ef' \) -geometry +0+164 -composite \
  -fill 'rgba(255,255,255,0.45)' -draw 'circle 420,250 420,150' \
  -fill 'rgba(120,170,220,0.25)' -draw 'circle 40,270 40,200' \
  -fill 'rgba(150,190,230,0.30)' -draw 'ellipse 300,300 220,70 180,360' \
  -blur 0x3 -type TrueColor BMP3:"$out/progress-back.bmp"
convert -size 128x128 xc:"$plain" \
  -fill '#ffffff' -stroke '#4a78a8' -strokewidth 6 -draw 'circle 64,64 64,8' \
  -stroke '#4a78a8' -strokewidth 3 \
  -draw 'line 64,14 64,24' -draw 'line 114,64 104,64' -draw 'line 64,114 64,104' -draw 'line 14,64 24,64' \
  -stroke '#24486e' -strokewidth 5 -draw 'line 64,64 64,32' \
  -strokewidth 3 -draw 'line 64,64 88,78' \
  -stroke none -fill '#24486e' -draw 'circle 64,64 64,58' \
  -type TrueColor BMP3:"$out/progress-clock.bmp"
