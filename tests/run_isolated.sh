#!/usr/bin/env bash
# Runs a test program in private PID and network namespaces with only the loopback interface
# up: nothing it starts can see, reach or signal a process or port outside, and everything it
# started ends with it.
set -euo pipefail
if [ "${1:-}" = --inside ]; then
    shift
    ip link set lo up
    "$@"
    exit $?
fi
userns=()
[ "$(id -u)" -eq 0 ] || userns=(--user --map-root-user)
exec unshare "${userns[@]}" --pid --net --fork --kill-child --mount-proc bash "$0" --inside "$@"
