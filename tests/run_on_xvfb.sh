#!/usr/bin/env bash
# Runs a command on a virtual X server of its own with one screen of the given size, under a
# window manager that frames windows with title bars and borders (jwm), and returns the
# command's exit code. The server and the window manager are always stopped.
#   tests/run_on_xvfb.sh WxH -- command [args...]
set -uo pipefail
usage() { echo "usage: $0 WxH -- command [args...]" >&2; exit 2; }
size=${1:-}
[[ $size =~ ^[0-9]+x[0-9]+$ ]] || usage
shift
[ "${1:-}" = "--" ] && shift
[ $# -gt 0 ] || usage
command -v jwm >/dev/null || { echo "run_on_xvfb: jwm is missing (scripts/deps.sh installs it)" >&2; exit 1; }

work=$(mktemp -d)
xvfb="" wm=""
stop() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM

# -displayfd: the server takes the first display number whose socket and lock file are free and
# writes it once it accepts connections. A number taken by another server in the meantime makes
# it fail; then it is tried again.
display=""
for _ in 1 2 3 4 5; do
  coproc XVFB { exec Xvfb -displayfd 1 -screen 0 "${size}x24" -nolisten tcp 2>"$work/xvfb.log"; }
  xvfb=$XVFB_PID
  read -r -t 30 -u "${XVFB[0]}" display && break
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  xvfb="" display=""
done
[ -n "$display" ] || { echo "run_on_xvfb: no X server started" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb

HOME="$work" jwm -f "$(dirname "$0")/run_on_xvfb.jwmrc" >"$work/wm.log" 2>&1 &
wm=$!
# Windows mapped before the manager runs would open without frames.
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
  kill -0 "$wm" 2>/dev/null || { echo "run_on_xvfb: jwm ended" >&2; cat "$work/wm.log" >&2; exit 1; }
  sleep 0.1
done

"$@"
