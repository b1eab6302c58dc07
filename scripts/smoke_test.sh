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
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
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
# second run of reddish rows at column_x (the style shades them) is Focus.
focus_y=$(convert "$shot" -crop "1x400+$column_x+0" +repage txt:- | awk -F'[ ,:()]+' '
  /^[0-9]/ { red = ($3 > 200 && $4 < 150 && $5 < 150)
             if (red && !inside) { runs++; first = $2 } ; if (!red && inside && runs == 2) { print int((first + $2) / 2); exit }
             inside = red }' || true)
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
