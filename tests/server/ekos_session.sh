#!/usr/bin/env bash
# KStars Ekos drives Orvalis as its external guider: connect, loop, guide, dither, suspend,
# resume, abort, disconnect. Ekos runs in private PID and network namespaces: it kills every
# indiserver it can see, and nothing it starts may reach a process or port outside.
#   ekos_session.sh SIM_HOST OUT_DIR
# OUT_DIR receives protocol.log (every line both ways), states.txt (Ekos's guide states with
# seconds since the session began) and kstars.log.
set -euo pipefail
host=$1
out=$2
stage=${3:-outer}
here=$(readlink -f "$0")

ekos() { # OBJECT METHOD [ARGUMENT...]
    local object=$1 method=$2
    shift 2
    gdbus call --session --dest org.kde.kstars --object-path "$object" --method "$method" \
        "$@" >/dev/null
}
has_object() {
    gdbus introspect --session --dest org.kde.kstars --object-path "$1" >/dev/null 2>&1
}
wait_for() { # SECONDS COMMAND...
    local limit=$(($1 * 10))
    shift
    for _ in $(seq 1 $limit); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
# Guide states as Ekos signals them, one "seconds state" line each.
states() {
    awk -v t0="$t0" '/member=newStatus/ { split($2, a, "="); t = a[2] }
        /^ *int32/ && t { printf "%.2f %d\n", t - t0, $2; t = "" }' "$work/signals.txt"
}
# Whether state $2 appears after line $1 of states().
reached() {
    states | tail -n +"$(($1 + 1))" | grep -q " $2\$"
}
last_state_is() {
    [ "$(states | tail -n 1 | cut -d' ' -f2)" = "$1" ]
}
logged() { # TEXT: in the protocol log
    grep -qF "$1" "$out/protocol.log"
}
step() { # NAME D-BUS-METHOD STATE SECONDS
    local seen
    seen=$(states | wc -l)
    echo "ekos: $1"
    ekos /KStars/Ekos/Guide "org.kde.kstars.Ekos.Guide.$2"
    if ! wait_for "$4" reached "$seen" "$3"; then
        echo "ekos: state $3 not reached within $4 s after $1"
        fail=1
    fi
}

case $stage in
outer)
    command -v kstars >/dev/null || { echo "kstars is not installed (scripts/deps.sh)"; exit 1; }
    mkdir -p "$out"
    exec "$(dirname "$here")/../run_isolated.sh" bash "$here" "$host" "$out" namespace
    ;;
namespace)
    work=$(mktemp -d)
    trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
    "$host" "$out/protocol.log" 4400 >"$work/host.out" 2>&1 &
    wait_for 20 grep -q listening "$work/host.out" || { cat "$work/host.out"; exit 1; }
    export WORK=$work
    xvfb-run -a -s "-screen 0 1600x1000x24" dbus-run-session -- bash "$here" "$host" "$out" session
    ;;
session)
    work=$WORK
    export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
    export XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
    cat >"$XDG_CONFIG_HOME/kstarsrc" <<'RC'
[GUI]
RunStartupWizard=false

[TipOfDay]
RunOnStart=false

[General]
VerboseLogging=true
GuideLogging=true
LogToDefault=true
LogToFile=false
DisableLogging=false
RegularLogging=false

[Guide]
GuiderType=1
PHD2Host=localhost
PHD2Port=4400
DitherThreshold=1.5
RC
    # A first run creates the profile database; its guider settings override kstarsrc.
    kstars >"$work/first.log" 2>&1 &
    first=$!
    wait_for 60 has_object /KStars/Ekos || { echo "kstars did not start"; tail "$work/first.log"; exit 1; }
    kill -TERM $first
    wait $first || true
    sqlite3 "$XDG_DATA_HOME/kstars/userdb.sqlite" \
        "UPDATE profile SET guidertype=1, guiderhost='localhost', guiderport=4400 WHERE name='Simulators';"

    dbus-monitor --session "type='signal',path='/KStars/Ekos/Guide',member='newStatus'" \
        >"$work/signals.txt" 2>/dev/null &
    t0=$(date +%s.%N)
    kstars >"$out/kstars.log" 2>&1 &
    kstars=$!
    trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
    wait_for 60 has_object /KStars/Ekos || { echo "kstars did not start"; exit 1; }
    ekos /KStars/Ekos org.kde.kstars.Ekos.setProfile Simulators
    ekos /KStars/Ekos org.kde.kstars.Ekos.start
    fail=0
    echo "ekos: started, waiting for the guider connection"
    wait_for 60 reached 0 2 || { echo "ekos: never CONNECTED"; fail=1; }
    if [ $fail -eq 0 ]; then
        step loop loop 5 20
        # The first guide calibrates (about 50 exposures) before it guides.
        step guide guide 12 120
        # A state poll shows GUIDING while settling; Ekos ignores a dither until it settled.
        wait_for 30 logged '"Event":"SettleDone"' || { echo "ekos: guide never settled"; fail=1; }
        step dither dither 18 60
        logged '"Event":"GuidingDithered"' || { echo "ekos: the dither never reached Orvalis"; fail=1; }
        step suspend suspend 13 20
        step resume resume 12 20
        # Ekos takes the answer to resume for a pause until its next state poll (3 s).
        sleep 3.5
        wait_for 10 last_state_is 12 || { echo "ekos: not GUIDING after resume"; fail=1; }
        step abort abort 1 20
        step disconnect disconnectGuider 3 20
    fi
    ekos /KStars/Ekos org.kde.kstars.Ekos.stop || true
    states >"$out/states.txt"
    kill -TERM $kstars 2>/dev/null || true
    wait $kstars 2>/dev/null || true
    echo "ekos: states (seconds, Ekos::GuideState):" $(tr '\n' ',' <"$out/states.txt")
    echo "ekos: requests:" $(grep -o ' -> .*"method":"[a-z_]*"' "$out/protocol.log" |
        sed 's/.*"method":"//; s/"//' | sort | uniq -c | awk '{printf "%s %s, ", $2, $1}')
    echo "ekos: events:" $(grep -o ' <- {"Event":"[A-Za-z]*"' "$out/protocol.log" |
        sed 's/.*"Event":"//; s/"//' | sort | uniq -c | awk '{printf "%s %s, ", $2, $1}')
    exit $fail
    ;;
esac
