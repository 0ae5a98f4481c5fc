#!/usr/bin/env bash
# The LV2 bundle under the real LV2 tools of Debian.
#
# usage: lv2Tools.sh CHECK LV2_DIR OUT_DIR
#   validate  sordi reads every Turtle file; lv2_validate finds no error
#   lilv      lv2ls and lv2info find and describe it with LV2_PATH=LV2_DIR
#   lilv-installed  the same for the bundle that `cmake --install` puts into
#             lib/lv2 under the prefix /usr (LV2_DIR is then the build folder)
#   apply     lv2apply runs a 32-bit float WAV of odd length through it:
#             the samples come out bit for bit
#   jalv      jalv (console) runs it on a JACK server with the dummy driver:
#             its four audio ports appear, it runs, and quits cleanly
#   jalv-gtk  jalv.gtk3 under Xvfb shows the editor while jack_metro clicks
#             into it: the plug-in sends frames with sound in them, and two
#             pictures of the window a moment apart differ (the bars move);
#             the last one is OUT_DIR/jalv-editor.png
# LV2_DIR holds tq-spectrum.lv2. Every JACK server and X display started
# here has a name of its own and is stopped on exit. Exit 77: a tool is
# missing (CTest reports the check as skipped), unless TQ_LV2_TOOLS_REQUIRED
# is set: 1 then.
set -euo pipefail
check=$1
mkdir -p "$3"
out=$(cd "$3" && pwd)
if [ "$check" = lilv-installed ]; then
    rm -rf "$out/stage"
    DESTDIR=$out/stage cmake --install "$2" --prefix /usr --component plugin >/dev/null
    set -- lilv "$out/stage/usr/lib/lv2" "$out"
    check=lilv
fi
lv2dir=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
uri=https://www.corvale.com/plugins/tq-spectrum
bundle=$lv2dir/tq-spectrum.lv2
export LV2_PATH=$lv2dir

need() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "skipped: $tool is not installed (bash tools/deps.sh lv2)"
            [ -n "${TQ_LV2_TOOLS_REQUIRED:-}" ] && exit 1
            exit 77
        fi
    done
}
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
}
trap cleanup EXIT

# A JACK server of our own, with the dummy driver, named after this run.
start_jack() {
    export JACK_DEFAULT_SERVER=tq-lv2-$$-$RANDOM
    jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 1024 >"$out/jackd.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do
        jack_lsp >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "the JACK server did not start: $(cat "$out/jackd.log")"
}

wait_for_ports() {
    for _ in $(seq 100); do
        [ "$(jack_lsp 2>/dev/null | grep -c '^tq-spectrum:\(in\|out\)_[lr]$')" = 4 ] && return 0
        sleep 0.1
    done
    fail "jalv's client has not got the four audio ports: $(jack_lsp 2>&1)"
}

case "$check" in
validate)
    need sordi lv2_validate
    for ttl in "$bundle"/*.ttl; do
        sordi "$ttl" >/dev/null || fail "sordi cannot read $ttl"
    done
    report=$(lv2_validate "$bundle"/*.ttl 2>&1) || fail "$report"
    echo "$report" | tail -n 1
    echo "$report" | grep -q '^Found 0 errors' || fail "$report"
    ;;
lilv)
    need lv2ls lv2info
    [ "$(lv2ls)" = "$uri" ] || fail "lv2ls lists: $(lv2ls)"
    info=$(lv2info "$uri")
    for line in "Name: *tq-spectrum" "Author: *corvale" "Binary: *file://$bundle/tq-spectrum_dsp.so" \
        "Class: *http://lv2plug.in/ns/extensions/ui#X11UI" "Binary: file://$bundle/tq-spectrum_ui.so" \
        "Extension Data: *http://lv2plug.in/ns/ext/state#interface" "Symbol: *notify"; do
        echo "$info" | grep -q "$line" || fail "lv2info has no '$line':"$'\n'"$info"
    done
    # The port numbers the plug-in's code uses (Lv2Plugin::Port).
    ports=$(echo "$info" | awk '/^\tPort [0-9]+:/ {n = $2} /Symbol:/ {printf "%s%s ", n, $2}')
    [ "$ports" = "0:in_l 1:in_r 2:out_l 3:out_r 4:control 5:notify " ] || fail "ports: $ports"
    echo "lv2info: ports $ports; UI and state found in $lv2dir"
    ;;
apply)
    need lv2apply python3
    python3 "$here/floatWav.py" write "$out/in.wav" 9001
    lv2apply -i "$out/in.wav" -o "$out/out.wav" "$uri" || fail "lv2apply failed"
    python3 "$here/floatWav.py" compare "$out/in.wav" "$out/out.wav"
    ;;
jalv)
    need jackd jack_lsp jalv
    start_jack
    rm -f "$out/commands"
    mkfifo "$out/commands"
    jalv "$uri" <"$out/commands" >"$out/jalv.log" 2>&1 &
    jalv=$!
    pids+=($jalv)
    exec 3>"$out/commands"
    wait_for_ports
    sleep 1
    kill -0 "$jalv" 2>/dev/null || fail "jalv stopped: $(cat "$out/jalv.log")"
    echo "quit" >&3
    exec 3>&-
    wait "$jalv" || fail "jalv did not quit cleanly: $(cat "$out/jalv.log")"
    grep -q "Sample rate: *48000" "$out/jalv.log" || fail "$(cat "$out/jalv.log")"
    echo "jalv ran the plug-in on JACK server $JACK_DEFAULT_SERVER"
    ;;
jalv-gtk)
    need jackd jack_lsp jack_connect jack_metro jalv.gtk3 Xvfb xdotool import compare
    start_jack
    # Xvfb picks a free display number itself and tells it.
    rm -f "$out/display"
    Xvfb -displayfd 5 -screen 0 800x400x24 -nolisten tcp 5>"$out/display" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        [ -s "$out/display" ] && break
        sleep 0.1
    done
    [ -s "$out/display" ] || fail "Xvfb did not start"
    export DISPLAY=:$(cat "$out/display")
    jack_metro -n click -b 300 -f 2000 -D 40 >/dev/null 2>&1 &
    pids+=($!)
    jalv.gtk3 -d "$uri" >"$out/jalv-gtk.log" 2>&1 &
    pids+=($!)
    wait_for_ports
    for port in in_l in_r; do
        jack_connect click:300_bpm "tq-spectrum:$port" || fail "cannot connect the click"
    done
    window=
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name 'tq-spectrum' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "no jalv window"
    sleep 2
    # A loaded machine may be slow to draw: a few tries.
    for _ in 1 2 3 4 5; do
        import -window "$window" "$out/jalv-editor-1.png"
        sleep 0.3
        import -window "$window" "$out/jalv-editor.png"
        changed=$(compare -metric AE "$out/jalv-editor-1.png" "$out/jalv-editor.png" null: 2>&1 || true)
        echo "pixels changed between two pictures: $changed"
        [ "${changed%% *}" -gt 20 ] 2>/dev/null && break
    done
    [ "${changed%% *}" -gt 20 ] 2>/dev/null || fail "the bars do not move"
    grep -q '#Frame>' "$out/jalv-gtk.log" || fail "no frame reached the editor"
    grep -q '#sampleRate> "48000.0"' "$out/jalv-gtk.log" || fail "no status with the sample rate reached the editor"
    ;;
*)
    echo "unknown check: $check" >&2
    exit 2
    ;;
esac
echo "ok: $check"
