#!/usr/bin/env bash
# The installed program without a display on the built-in camera and telescope, with the
# settings an imaging program's session needs, in a home of its own; every protocol line goes
# to LOG. It says "listening on port N" once the server listens; SIGTERM ends it.
#   ORVALIS_PROGRAM=path/to/orvalis headless_host.sh LOG PORT
set -euo pipefail
log=$1
port=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config/Orvalis"
cat >"$home/config/Orvalis/Orvalis.ini" <<'INI'
[Guiding%20Options]
Dec%20Correct=1
RA%20Guide%20Rate=15
Dec%20Guide%20Rate=15
Minumum%20Correction=0.5

[Calibration%20Options]
Use%20Calibration=1
INI
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export HOME=$home XDG_CONFIG_HOME=$home/config
"$ORVALIS_PROGRAM" --headless --camera "Orvalis Sky Simulator" --mount Orvalis.Simulator \
    --port "$port" --protocol-log "$log" &
program=$!
trap 'kill -TERM $program 2>/dev/null || true; wait $program || true; rm -rf "$home"' EXIT TERM INT
wait $program
