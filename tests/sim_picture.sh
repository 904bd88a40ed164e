#!/usr/bin/env bash
# needlecast-sim --png: the picture, the same closing lines as without it, bad sizes,
# unwritable files, and the frame without a font. Usage: sim_picture.sh needlecast-sim
set -u
sim=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passes=0

check() { # name, status
  if [ "$2" -eq 0 ]; then passes=$((passes + 1)); else failures=$((failures + 1)); echo "FAILED: $1"; fi
}

# Grey text pixels (white at 45 % over black) in the bottom 50 rows of a 1024x768 picture.
text_pixels() {
  convert "$1" -crop 1024x50+0+718 +repage \
    -fx '(abs(r-g)<0.02 && abs(g-b)<0.02 && r>0.39 && r<0.51) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}

args=(--seed 20261206 --frames 3000 --interval 0.016)
plain=$("$sim" "${args[@]}" | tail -n 2)
drawn=$("$sim" "${args[@]}" --png "$work/shot.png" | tail -n 2); code=$?
[ "$code" -eq 0 ] && [ -s "$work/shot.png" ]
check "--png writes the picture" $?
[ "$plain" = "$drawn" ]
check "the same closing lines with and without --png" $?
[ "$(identify -format '%m %w %h' "$work/shot.png" 2>/dev/null)" = "PNG 1024 768" ]
check "a 1024x768 PNG by default" $?
[ "$(text_pixels "$work/shot.png")" -gt 50 ]
check "the estimate line is drawn (grey text pixels over the black)" $?

"$sim" --seed 1 --frames 10 --png "$work/small.png" --size 152x112 >/dev/null
[ "$(identify -format '%w %h' "$work/small.png" 2>/dev/null)" = "152 112" ]
check "--size 152x112" $?

# Refusals: exit code 2, one line on stderr, and nothing left behind.
refuse() { # name-in-message, args...
  local name=$1; shift
  local before after err code
  before=$(ls -A "$work" | sort)
  "$sim" --frames 10 "$@" >/dev/null 2>"$work.err"; code=$?
  err=$(cat "$work.err")
  after=$(ls -A "$work" | sort)
  [ "$code" -eq 2 ] && [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] && [[ "$err" == *"$name"* ]] && [ "$before" = "$after" ]
  check "refuses $* (code $code, stderr '$err')" $?
}
for size in 0x0 abc 8193x100 100x8193 100x x100 -5x10 10x10x10; do
  refuse --size --png "$work/bad.png" --size "$size"
done
refuse "cannot write" --png "$work/missing/dir/shot.png"
mkdir "$work/folder"
refuse "not a regular file" --png "$work/folder"
chmod 0555 "$work/folder"
if [ "$(id -u)" -ne 0 ]; then
  refuse "cannot write" --png "$work/folder/shot.png"
fi
chmod 0755 "$work/folder"
[ -d "$work/folder" ] && [ -z "$(ls -A "$work/folder")" ]
check "a refused folder stays as it was" $?
rm -f "$work.err"

# With no font to be found the text is left out and the rest of the frame is drawn.
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$work/nofonts.conf"
FONTCONFIG_FILE="$work/nofonts.conf" "$sim" --seed 20261206 --frames 1 --png "$work/nofont.png" >/dev/null; code=$?
[ "$code" -eq 0 ] && [ "$(text_pixels "$work/nofont.png")" -eq 0 ]
check "no font: no text" $?
"$sim" --seed 20261206 --frames 1 --png "$work/font.png" >/dev/null
[ "$(text_pixels "$work/font.png")" -gt 300 ]
check "the same frame with the font has its text" $?
[ "$(convert "$work/nofont.png" -format '%[fx:maxima.r*255 > 20 || maxima.b*255 > 20]' info:)" = "1" ]
check "no font: the pane is still drawn" $?

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
