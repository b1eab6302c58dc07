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
