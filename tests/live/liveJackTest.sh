#!/usr/bin/env bash
# tq-spectrum-live on real JACK servers with the dummy driver, in the X
# server this runs in (CTest wraps it in xvfb-run):
#   no server: one line and exit status 1;
#   a sine fed through --connect lights its band; View > Logarithmic
#   relabels the axis; the band is lit again on the linear axis after the
#   buffer size changes;
#   the server killed: the window dims to the suspended panel and the
#   program waits; a new server at another rate: it reconnects, connects
#   the feeder's port when it appears, and the new sine lights its band;
#   the close button and SIGTERM: exit status 0.
# Each server has a name of its own, so parallel runs never meet.
#   liveJackTest.sh PROGRAM PROBE
set -uo pipefail
program=$1
probe=$2
for tool in jackd jack_lsp jack_bufsize; do
    if ! command -v $tool >/dev/null; then
        echo "SKIP: $tool is missing (bash tools/deps.sh live installs it)"
        exit 77
    fi
done
scratch=$(mktemp -d)
export JACK_DEFAULT_SERVER="tq-live-test-$$-$RANDOM"
# No client of this test may start a server of its own.
export JACK_NO_START_SERVER=1
server=
feeder=
live=
# A server killed outright stays in JACK's registry of servers (there is
# room for 8) until one of the same name starts; every way out of here
# leaves the registry as it found it.
stale=false
stop_server() {
    [ -n "$server" ] || return 0
    kill -TERM "$server" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    server=
}
cleanup() {
    for pid in $live $feeder; do
        kill -KILL "$pid" 2>/dev/null
    done
    stop_server
    if $stale; then
        jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy >/dev/null 2>&1 &
        server=$!
        for _ in $(seq 50); do
            jack_lsp >/dev/null 2>&1 && break
            sleep 0.1
        done
        stop_server
    fi
    wait 2>/dev/null
    rm -f /dev/shm/jack_sem.*_"$JACK_DEFAULT_SERVER"_*
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    echo "--- program's messages:"
    cat "$scratch/live.err" 2>/dev/null
    echo "--- server's last lines:"
    tail -n 5 "$scratch/jackd.log" 2>/dev/null
    exit 1
}

start_server() { # RATE
    jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r "$1" -p 256 \
        >"$scratch/jackd.log" 2>&1 &
    server=$!
    for _ in $(seq 100); do
        jack_lsp >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "the JACK server did not start: $(cat "$scratch/jackd.log")"
}
start_feeder() { # HERTZ
    coproc feeding { "$probe" feed feeder "$1"; }
    # shellcheck disable=SC2154 # coproc sets it
    feeder=$feeding_PID
    read -r -t 10 ready <&"${feeding[0]}" || true
    [ "${ready:-}" = ready ] || fail "the feeder did not start"
}
alive() {
    kill -0 "$live" 2>/dev/null
}

# No server: a clear message, status 1, and no server started.
"$program" >"$scratch/none.out" 2>"$scratch/none.err"
status=$?
[ $status -eq 1 ] || fail "with no server the status is $status, not 1"
if [ "$(wc -l <"$scratch/none.err")" -ne 1 ] ||
    ! grep -q "no JACK server '$JACK_DEFAULT_SERVER' is running" "$scratch/none.err"; then
    fail "with no server it says: $(cat "$scratch/none.err")"
fi
jack_lsp >/dev/null 2>&1 && fail "a JACK server was started"

start_server 48000
start_feeder 3000 # bin 64 of 1024 at 48 kHz
"$program" --name tq-live --connect feeder:out 2>"$scratch/live.err" &
live=$!
labels48=$("$probe" look lit:3000:48000 tq-live ${TQ_LIVE_PICTURE:+"$TQ_LIVE_PICTURE"}) ||
    fail "the sine's band is not lit"
# The View menu works in this window as in a host's: "Logarithmic" relabels
# the axis, "Linear" brings it back.
"$probe" choose 37 3 || fail "cannot choose View > Logarithmic"
"$probe" look "labels-other:${labels48#labels }" tq-live >/dev/null ||
    fail "View > Logarithmic left the labels as they were"
"$probe" choose 37 2 || fail "cannot choose View > Linear"
jack_bufsize 1024 >/dev/null || fail "jack_bufsize refused"
sleep 0.5
"$probe" look lit:3000:48000 tq-live >/dev/null ||
    fail "the band is dark after the buffer size changed"

# The server dies: the dimmed panel, and the program waits for another.
stale=true
kill -KILL $server
wait $server 2>/dev/null
server=
"$probe" look suspended "tq-live (no JACK server)" >/dev/null || fail "no suspended panel without a server"
alive || fail "the program ended when the server did"

start_server 44100
stale=false
# The program is back before the feeder: the port is connected as it appears.
for _ in $(seq 50); do
    jack_lsp 2>/dev/null | grep -q '^tq-live:in_1$' && break
    sleep 0.1
done
start_feeder 4306.640625 # bin 100 of 1024 at 44.1 kHz
labels44=$("$probe" look lit:4306.640625:44100 tq-live) ||
    fail "no band lit after the server came back"
[ "$labels44" != "$labels48" ] || fail "the axis keeps its 48 kHz labels at 44.1 kHz"

# The close button ends it cleanly.
"$probe" close || fail "cannot ask the window to close"
for _ in $(seq 50); do
    alive || break
    sleep 0.1
done
alive && fail "the program did not end on the close button"
wait $live
status=$?
[ $status -eq 0 ] || fail "the close button ended it with status $status"

# So does SIGTERM, here with nothing connected.
"$program" --no-connect 2>"$scratch/live.err" &
live=$!
"$probe" look quiet tq-spectrum-live >/dev/null || fail "the window does not show the bars"
kill -TERM $live
wait $live
status=$?
[ $status -eq 0 ] || fail "SIGTERM ended it with status $status"
grep -q . "$scratch/live.err" && fail "messages on a quiet run: $(cat "$scratch/live.err")"
echo "PASS"
