#!/bin/sh
# ImageMagick reads the BMP files the still tests saved: their size, depth and class, and the
# sample clip's quarters at their places.
dir="$1"; status=0
fail() { echo "$1"; status=1; }
# colour of a pixel as "r,g,b" (0..255)
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r+.5)],%[fx:int(255*p{$2,$3}.g+.5)],%[fx:int(255*p{$2,$3}.b+.5)]" info:; }
near() {  # near r,g,b expected r,g,b tolerance
  echo "$1 $2" | awk -v t="$3" '{ split($1,a,","); split($2,b,","); for (i=1;i<=3;i++) { d=a[i]-b[i]; if (d<0) d=-d; if (d>t) exit 1 } }'
}
check_quarters() {  # file x0 y0 w h tolerance
  f="$1"; x0=$2; y0=$3; w=$4; h=$5; t=$6
  for point in "$((x0+w/4)) $((y0+h/4)) 236,13,14 red" "$((x0+3*w/4)) $((y0+h/4)) 14,244,14 green" \
              "$((x0+w/4)) $((y0+3*h/4)) 16,13,237 blue" "$((x0+3*w/4)) $((y0+3*h/4)) 235,235,235 white"; do
    set -- $point
    got=$(pixel "$f" "$1" "$2")
    near "$got" "$3" "$t" || fail "$(basename "$f") at $1,$2: $got, not $4 ($3)"
  done
}
for f in still-single.bmp still-mosaic.bmp still-256.bmp; do
  [ -f "$dir/$f" ] || fail "no $f"
done
[ $status -eq 0 ] || exit 1
info=$(identify -format '%m %w %h %z %r' "$dir/still-single.bmp") || fail "identify refused still-single.bmp"
echo "still-single.bmp: $info"
case "$info" in "BMP3 320 240 8 DirectClass sRGB"*) ;; *) false;; esac || fail "still-single.bmp is not a 320x240 true-colour BMP"
check_quarters "$dir/still-single.bmp" 0 0 320 240 16
info=$(identify -format '%m %w %h %z %r' "$dir/still-mosaic.bmp") || fail "identify refused still-mosaic.bmp"
echo "still-mosaic.bmp: $info"
case "$info" in "BMP3 360 270 8 DirectClass sRGB"*) ;; *) false;; esac || fail "still-mosaic.bmp is not a 360x270 true-colour BMP"
for cell in 0 1 2 3 4 5 6 7 8; do
  check_quarters "$dir/still-mosaic.bmp" $((120*(cell%3))) $((90*(cell/3))) 120 90 20
done
info=$(identify -format '%m %w %h %z %r %k' "$dir/still-256.bmp") || fail "identify refused still-256.bmp"
echo "still-256.bmp: $info"
case "$info" in "BMP3 320 240 8 PseudoClass sRGB"*) ;; *) fail "still-256.bmp is not a 320x240 palette BMP";; esac
# Every colour of the reduced still is one of the palette's: channels in steps of 17 or 51.
bad=$(convert "$dir/still-256.bmp" -format %c histogram:info:- | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p' |
      awk '{ for (i=1;i<=3;i++) if ($i % 17) { print; break } }' | head -3)
[ -z "$bad" ] || fail "still-256.bmp has colours outside the palette: $bad"
[ $status -eq 0 ] && echo "the saved stills read back"
exit $status
