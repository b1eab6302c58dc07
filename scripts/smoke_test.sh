#!/usr/bin/env bash
# Installs the built program into a scratch prefix, starts it under a virtual X server on a
# fresh settings folder and fails unless its window "Orvalis 1.0.6" appears with a picture.
#   scripts/smoke_test.sh BUILD_DIR
set -euo pipefail
build=${1:?build folder}
work=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display XDG_CONFIG_HOME="$work/config" ASAN_OPTIONS=detect_leaks=0
unset QT_QPA_PLATFORM
sleep 1
"$work/prefix/bin/orvalis" >"$work/app.log" 2>&1 &
app=$!
window=""
for _ in $(seq 1 60); do
  window=$(xdotool search --onlyvisible --name "^Orvalis 1\.0\.6$" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 $app 2>/dev/null || { echo "smoke test: the program ended early"; cat "$work/app.log"; exit 1; }
  sleep 0.5
done
[ -n "$window" ] || { echo "smoke test: no window 'Orvalis 1.0.6' within 30 s"; cat "$work/app.log"; exit 1; }
sleep 2
shot=${SMOKE_SCREENSHOT:-$work/window.png}
import -window "$window" "$shot"
colours=$(convert "$shot" -format %k info:)
echo "smoke test: window shown, screenshot $shot with $colours colours"
[ "$colours" -gt 50 ] || { echo "smoke test: the window is blank"; exit 1; }

# Focus mode through the pointer: the Focus button must stay where it is and end focus mode
# when clicked again at the same place, and the frame picture must come back unchanged.
pixel() { # image x y -> "r,g,b"
  convert "$1" -format "%[fx:int(255*u.r)],%[fx:int(255*u.g)],%[fx:int(255*u.b)]" \
    -crop "1x1+$2+$3" info:
}
column_x=40
# Top to bottom the buttons are Preview, Focus, Lock, Center, Guide, all red at start; the
# n-th run of reddish rows at column_x (the style shades them) is the n-th button.
button_y() { # image n -> y of the middle of the n-th red button
  convert "$1" -crop "1x400+$column_x+0" +repage txt:- | awk -v n="$2" -F'[ ,:()]+' '
    /^[0-9]/ { red = ($3 > 200 && $4 < 150 && $5 < 150)
               if (red && !inside) { runs++; first = $2 } ; if (!red && inside && runs == n) print int((first + $2) / 2)
               inside = red }' || true
}
focus_y=$(button_y "$shot" 2)
[ -n "$focus_y" ] || { echo "smoke test: Focus button not found"; exit 1; }
picture_box=200x200+350+150
convert "$shot" -crop "$picture_box" +repage "$work/picture-before.png"
click_focus() {
  xdotool mousemove --window "$window" "$column_x" "$focus_y" click 1
  sleep 1.5
  import -window "$window" "$work/after.png"
}
click_focus
hue() { # image x y -> red, green or other
  pixel "$@" | awk -F, '{ r = $1; g = $2; b = $3
    if (r > 200 && g < 150 && b < 150) print "red"; else if (g > 200 && r < 150 && b < 150) print "green"; else print "other" }'
}
[ "$(hue "$work/after.png" "$column_x" "$focus_y")" = green ] ||
  { echo "smoke test: Focus did not turn green"; exit 1; }
click_focus
[ "$(hue "$work/after.png" "$column_x" "$focus_y")" = red ] ||
  { echo "smoke test: a second click on Focus did not end focus mode"; exit 1; }
convert "$work/after.png" -crop "$picture_box" +repage "$work/picture-after.png"
differ=$(compare -metric AE "$work/picture-before.png" "$work/picture-after.png" null: 2>&1 || true)
[ "$differ" = "0" ] || { echo "smoke test: the frame picture is not back ($differ pixels differ)"; exit 1; }
echo "smoke test: Focus on at ($column_x, $focus_y) and off again by the pointer, picture back"

# The quick start on the simulator: Telescope > Choose Telescope... > OK (the simulator is the
# first entry), Preview, Lock and a click on the brightest star, Guide; then the guide graph,
# its statistics and the star view fill in.
lock_y=$(button_y "$shot" 3)
preview_y=$(button_y "$shot" 1)
guide_y=$(button_y "$shot" 5)
menu_x() { # image n -> x of the middle of the n-th title of the menu bar
  convert "$1" -crop 400x12+0+3 +repage -colorspace gray -threshold 50% -negate -scale 400x1! \
    -threshold 1% txt:- | awk -v n="$2" -F'[ ,:()]+' 'BEGIN { last = -1 }
    NR > 1 && $3 > 128 && titles <= n { if (last < 0 || $1 - last > 8) { if (++titles > n) next; first = $1 } last = $1 }
    END { if (titles >= n) print int((first + last) / 2) }'
}
telescope_x=$(menu_x "$shot" 4)
[ -n "$telescope_x" ] || { echo "smoke test: Telescope menu not found"; exit 1; }
xdotool mousemove --window "$window" "$telescope_x" 9 click 1
sleep 0.5
xdotool key Down Return # the first enabled item, Choose Telescope...
chooser=""
for _ in $(seq 1 20); do
  chooser=$(xdotool search --onlyvisible --name "^Choose Telescope$" 2>/dev/null | head -n 1 || true)
  [ -n "$chooser" ] && break
  sleep 0.5
done
[ -n "$chooser" ] || { echo "smoke test: no Choose Telescope dialog"; exit 1; }
xdotool windowfocus "$chooser" key Return
sleep 1
xdotool mousemove --window "$window" "$column_x" "$preview_y" click 1
sleep 3
import -window "$window" "$work/preview.png"
# The frame picture is the first long run of near-black pixels along row 300.
picture_x=$(convert "$work/preview.png" -crop 1000x1+0+300 +repage -colorspace gray txt:- | awk -F'[ ,:()]+' '
  NR > 1 { if ($3 < 40) { if (!run++) first = $1; if (run == 50 && !found++) print first } else run = 0 }')
picture_y=$(convert "$work/preview.png" -crop "1x300+$((picture_x + 5))+0" +repage -colorspace gray txt:- | awk -F'[ ,:()]+' '
  NR > 1 && $3 < 40 && !found++ { print $2 }')
# The next-step hint is written over the picture's top rows: the star is looked for below it.
hint_rows=40
star=$(convert "$work/preview.png" -crop "633x$((480 - hint_rows))+$picture_x+$((picture_y + hint_rows))" +repage -colorspace gray -blur 0x2 miff:- |
  identify -define identify:locate=maximum -define identify:limit=1 - | awk '/Gray:/ { print $NF }')
[ -n "$star" ] || { echo "smoke test: no star in the frame picture"; exit 1; }
star_x=$((picture_x + ${star%,*}))
star_y=$((picture_y + hint_rows + ${star#*,}))
xdotool mousemove --window "$window" "$column_x" "$lock_y" click 1
sleep 0.5
xdotool mousemove --window "$window" "$star_x" "$star_y" click 1
sleep 0.5
xdotool mousemove --window "$window" "$column_x" "$guide_y" click 1
sleep 15
guided=${SMOKE_GUIDED_SCREENSHOT:-$work/guided.png}
import -window "$window" "$guided"
for button in "$lock_y Lock" "$guide_y Guide"; do
  [ "$(hue "$guided" "$column_x" "${button% *}")" = green ] ||
    { echo "smoke test: ${button#* } is not green after the guided run"; exit 1; }
done
# RA error line and bars (blue) in the guide graph right of the picture; the star view's crop.
graph_x=$((picture_x + 640))
blue=$(convert "$guided" -crop "+$graph_x+0" +repage -fuzz 12% -fill black +opaque "rgb(32,96,224)" \
  -fill white -opaque "rgb(32,96,224)" -format "%[fx:int(mean*w*h)]" info:)
echo "smoke test: guided run, screenshot $guided, $blue pixels of the RA line in the graph"
[ "$blue" -gt 30 ] || { echo "smoke test: the guide graph shows no RA error"; exit 1; }
