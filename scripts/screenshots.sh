#!/usr/bin/env bash
# Takes screenshots of the program previewing its sky simulator under a virtual X server at
# three screen sizes, each on a fresh settings folder, into docs/screenshots/:
#   MODE-WxH.png       the whole screen with the window as it opens
#   MODE-WxH-full.png  the whole screen with the window made as large as the screen
#   scripts/screenshots.sh [MODE [BUILD_DIR [OUT_DIR]]]
# MODE is the display mode shown: day (the default) or night (View > Night Mode).
set -euo pipefail
mode=${1:-day}
build=${2:-build-test}
out=${3:-docs/screenshots}
program="$build/src/orvalis"
[ -x "$program" ] || { echo "screenshots: no program at $program"; exit 1; }
mkdir -p "$out"

# Settings that put the program in MODE, written into the fresh settings file.
mode_settings() {
  case "$1" in
    day) ;;
    night) printf '[View Options]\nNight Mode=1\n' ;;
    *) echo "screenshots: unknown mode $1" >&2; return 1 ;;
  esac
}

shoot() { # WxH
  local size=$1 work display xvfb app window
  work=$(mktemp -d)
  mkdir -p "$work/config/Orvalis"
  mode_settings "$mode" >"$work/config/Orvalis/Orvalis.ini"
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
  DISPLAY=$display XDG_CONFIG_HOME="$work/config" ASAN_OPTIONS=detect_leaks=0 \
    QT_QPA_PLATFORM=xcb "$program" >"$work/app.log" 2>&1 &
  app=$!
  window=""
  for _ in $(seq 1 60); do
    window=$(DISPLAY=$display xdotool search --onlyvisible --name "^Orvalis " 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.5
  done
  if [ -z "$window" ]; then
    echo "screenshots: no window at $size"; cat "$work/app.log"
    kill "$app" "$xvfb" 2>/dev/null || true
    return 1
  fi
  sleep 2
  # Preview is the first button of the control column.
  DISPLAY=$display xdotool mousemove --window "$window" 40 38 click 1
  sleep 4
  DISPLAY=$display import -window root "$out/$mode-$size.png"
  DISPLAY=$display xdotool windowmove "$window" 0 0 windowsize "$window" 100% 100%
  sleep 3
  DISPLAY=$display import -window root "$out/$mode-$size-full.png"
  echo "screenshots: $out/$mode-$size.png, $out/$mode-$size-full.png"
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}

mode_settings "$mode" >/dev/null
for size in 1024x600 1366x768 1920x1080; do
  shoot "$size"
done
