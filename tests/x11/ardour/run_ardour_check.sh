#!/bin/bash
# tq-spectrum in Ardour 7, a real Linux VST host that nobody here wrote.
#
# usage: run_ardour_check.sh PLUGIN.so OUT_DIR [--no-gui]
#        run_ardour_check.sh --installed OUT_DIR [--no-gui]
#        run_ardour_check.sh --lv2 OUT_DIR [--no-gui]
#
# 1. Ardour's scanner lists the plug-in with its name, vendor and category.
#    With --installed the plug-in is the one an installed package put down:
#    no LXVST_PATH or VST_PATH is set, and Ardour's own discovery at start-up
#    (its GUI under Xvfb, on an empty session) must find it in the folders
#    Ardour searches by default.
#    With --lv2 the plug-in is the installed package's LV2 bundle, with no
#    LV2_PATH set: Ardour's plug-in list (through lilv's default folders)
#    must hold it, by corvale, an analyser; steps 2 and 3 then run on it,
#    and the pictures are named ardour-lv2-*.png.
# 2. Offline exports of a 48 kHz test file through the plug-in equal the
#    input: a 32-bit float export bit for bit, a 16-bit export without
#    dither within 16-bit rounding.
# 3. Two instances' editors open in Ardour's GUI under Xvfb while the
#    session plays: the bars move; with the View menu left open in one
#    editor the other's bars still move (Ardour idles every plug-in window
#    from one thread, which an open menu must not hold); View >
#    "Logarithmic" is chosen with the mouse and the labels change.
#    Screenshots land in OUT_DIR (ardour-editor.png, ardour-menu.png,
#    ardour-two-editors.png, ardour-screen.png).
#    With --lv2, the session saved after that holds the logarithmic axis in
#    the plug-in's state, and reopened it shows it again.
#
# Needs the Debian packages ardour, xvfb, xdotool, x11-utils, imagemagick.
# Ardour's settings, caches and sessions go to OUT_DIR/work; the user's own
# stay untouched. Exit status 0 when every check passes. About a minute.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
if [ $# -lt 2 ]; then
    echo "usage: $0 PLUGIN.so|--installed|--lv2 OUT_DIR [--no-gui]" >&2
    exit 2
fi
INSTALLED=
LV2=
[ "$1" = --installed ] && INSTALLED=1
[ "$1" = --lv2 ] && LV2=1
OUT=$(mkdir -p "$2" && cd "$2" && pwd)
GUI=${3:-}
WORK=$OUT/work
rm -rf "$WORK"
mkdir -p "$WORK/plugins"

fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

XVFB=
ARDOUR=
cleanup() {
    [ -n "$ARDOUR" ] && kill $ARDOUR 2> /dev/null || true
    sleep 1
    [ -n "$XVFB" ] && kill $XVFB 2> /dev/null || true
}
trap cleanup EXIT
start_xvfb() {
    DISP=:$((90 + RANDOM % 50))
    Xvfb $DISP -screen 0 1600x1000x24 -nolisten tcp > /dev/null 2>&1 &
    XVFB=$!
    sleep 1
    export DISPLAY=$DISP
}

PICTURE=ardour
if [ -n "$LV2" ]; then
    unset LV2_PATH
    export PLUGIN_TYPE=LV2
    PICTURE=ardour-lv2
    [ -f /usr/lib/lv2/tq-spectrum.lv2/manifest.ttl ] ||
        fail "no /usr/lib/lv2/tq-spectrum.lv2: install the package first (bash tools/package.sh)"
elif [ -n "$INSTALLED" ]; then
    unset LXVST_PATH VST_PATH
else
    cp "$(readlink -f "$1")" "$WORK/plugins/tq-spectrum.so"
    # Ardour stamps its scan cache in whole seconds and ignores a cache older
    # than the library: a copy made in the same second as the scan would count
    # as changed after it.
    touch -d '1 minute ago' "$WORK/plugins/tq-spectrum.so"
    export LXVST_PATH=$WORK/plugins
fi
export XDG_CONFIG_HOME=$WORK/xdg-config XDG_CACHE_HOME=$WORK/xdg-cache
mkdir -p "$XDG_CONFIG_HOME/ardour7/export" "$XDG_CACHE_HOME"
touch "$XDG_CONFIG_HOME/ardour7/.a7" # no first-run wizard
cat > "$XDG_CONFIG_HOME/ardour7/config" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="discover-plugins-on-start" value="$([ -n "$INSTALLED" ] && echo 1 || echo 0)"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device="" output-device="" sample-rate="48000" buffer-size="1024" n-periods="0" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1" use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
XML
# Two export presets of our own: 32-bit float (Ardour's own format), and
# 16-bit PCM without the shaped dither of Ardour's stock WAV preset, whose
# noise would hide what the plug-in did.
FLOAT_PRESET=3a0e54d2-6c1f-4b8e-9d47-0b6f1e2c7a01
PCM16_PRESET=3a0e54d2-6c1f-4b8e-9d47-0b6f1e2c7a02
PCM16_FORMAT=3a0e54d2-6c1f-4b8e-9d47-0b6f1e2c7a03
cat > "$XDG_CONFIG_HOME/ardour7/export/tq-pcm16.format" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<ExportFormatSpecification name="tq 16-bit no dither" id="$PCM16_FORMAT" analyse="0">
  <Encoding id="F_WAV" type="T_Sndfile" extension="wav" name="WAV" has-sample-format="true" channel-limit="256"/>
  <SampleRate rate="SR_Session"/>
  <SRCQuality quality="SRC_SincBest"/>
  <EncodingOptions>
    <Option name="sample-format" value="SF_16"/>
    <Option name="dithering" value="D_None"/>
    <Option name="tag-metadata" value="false"/>
    <Option name="tag-support" value="false"/>
    <Option name="broadcast-info" value="false"/>
  </EncodingOptions>
  <Processing>
    <Normalize enabled="false" loudness="no" dbfs="0" lufs="-23" dbtp="-1"/>
    <Silence>
      <Start><Trim enabled="false"/><Add enabled="false"><Duration format="Timecode" hours="0" minutes="0" seconds="0" frames="0"/></Add></Start>
      <End><Trim enabled="false"/><Add enabled="false"><Duration format="Timecode" hours="0" minutes="0" seconds="0" frames="0"/></Add></End>
    </Silence>
  </Processing>
</ExportFormatSpecification>
XML
preset() { # preset ID NAME FORMAT_ID
    cat <<XML
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="$1" name="$2">
  <ExportFormat id="$3"/>
  <ExportFilename>
    <Folder relative="1" path="export"/>
    <Field name="label" enabled="0"/>
    <Field name="session" enabled="0"/>
    <Field name="snapshot" enabled="0"/>
    <Field name="timespan" enabled="1"/>
    <Field name="revision" enabled="0"/>
    <Field name="time" enabled="0" value="T_None"/>
    <Field name="date" enabled="0" value="D_None"/>
  </ExportFilename>
</ExportPreset>
XML
}
preset $FLOAT_PRESET "tq float" 20b4ab09-6452-4cb3-bd66-b921cdbd2942 \
    > "$XDG_CONFIG_HOME/ardour7/export/tq-float.preset"
preset $PCM16_PRESET "tq 16-bit" $PCM16_FORMAT > "$XDG_CONFIG_HOME/ardour7/export/tq-pcm16.preset"

# 1. The scanner (a process of its own) writes what it found to the cache.
if [ -n "$LV2" ]; then
    # LV2 needs no scan: Ardour reads the bundles' Turtle files through lilv.
    SESSION_DIR=$WORK/scan SESSION_NAME=scan VST_NAME=tq-spectrum \
        ardour7-lua "$HERE/make_session.lua" > "$OUT/scan.log" 2>&1 || true
    grep '^available:' "$OUT/scan.log" | tee "$OUT/scan.txt"
    grep -q '^available: tq-spectrum https://www.corvale.com/plugins/tq-spectrum .* corvale Analyser' \
        "$OUT/scan.txt" || fail "Ardour does not list the LV2 tq-spectrum by corvale as an analyser"
    pass "Ardour lists the LV2 plug-in: tq-spectrum, corvale, Analyser"
elif [ -n "$INSTALLED" ]; then
    # Ardour's GUI discovers new plug-ins in its default folders when it
    # starts; the engine and the session are there only to let it start.
    SESSION_DIR=$WORK/scan SESSION_NAME=scan VST_NAME= \
        ardour7-lua "$HERE/make_session.lua" > "$OUT/scan.log" 2>&1 || true
    grep -q '^saved' "$OUT/scan.log" || fail "no session to start Ardour on (scan.log)"
    start_xvfb
    ardour -n "$WORK/scan/scan.ardour" >> "$OUT/scan.log" 2>&1 &
    ARDOUR=$!
    # Done when the cache holds the plug-in and the blacklist, where Ardour
    # notes a library while its scanner has it open, no longer names it.
    for _ in $(seq 1 90); do
        if grep -q 'name="tq-spectrum"' "$XDG_CACHE_HOME"/ardour7/vst/*.v2i 2> /dev/null &&
            ! grep -q tq-spectrum "$XDG_CACHE_HOME"/ardour7/vst2_*_blacklist.txt 2> /dev/null; then
            break
        fi
        sleep 1
    done
    kill $ARDOUR 2> /dev/null || true
    wait $ARDOUR 2> /dev/null || true
    ARDOUR=
    found=$(grep -h -o 'binary="[^"]*"' "$XDG_CACHE_HOME"/ardour7/vst/*.v2i 2> /dev/null || true)
    [ -n "$found" ] || fail "Ardour's discovery found no plug-in (scan.log)"
    pass "Ardour's discovery, with no LXVST_PATH or VST_PATH: $found"
else
    LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -f -q \
        "$WORK/plugins/tq-spectrum.so"
fi
if [ -z "$LV2" ]; then
    grep -h -o '<VST2Info [^>]*>' "$XDG_CACHE_HOME"/ardour7/vst/*.v2i | tee "$OUT/scan.txt"
    grep -q 'name="tq-spectrum" creator="corvale" category="Effect"' "$OUT/scan.txt" ||
        fail "the scanner does not list tq-spectrum by corvale as an effect"
    pass "scanner: tq-spectrum, corvale, Effect"
fi

# 2. Offline: file -> plug-in -> file on the dummy back-end, faster than real time.
python3 "$HERE/make_signal.py" "$WORK/in.wav" 20
SESSION=$WORK/session
SESSION_DIR=$SESSION SESSION_NAME=s VST_NAME=tq-spectrum \
    ardour7-lua "$HERE/make_session.lua" > "$OUT/session.log" 2>&1 || true
grep -q '^inserted: tq-spectrum' "$OUT/session.log" || fail "no session with the plug-in (session.log)"
python3 "$HERE/inject_wav.py" "$SESSION/s.ardour" VSTTrack "$WORK/in.wav" >> "$OUT/session.log"
for kind in float pcm16; do
    id=$FLOAT_PRESET
    limit=0
    if [ $kind = pcm16 ]; then
        id=$PCM16_PRESET
        limit=1
    fi
    SESSION_DIR=$SESSION SESSION_NAME=s OUT_DIR=$WORK/export-$kind OUT_NAME=vstout \
        EXPORT_PRESET=$id ardour7-lua "$HERE/export_session.lua" > "$OUT/export-$kind.log" 2>&1 || true
    [ -s "$WORK/export-$kind/vstout.wav" ] || fail "no $kind export (export-$kind.log)"
    python3 "$HERE/compare_wav.py" "$WORK/in.wav" "$WORK/export-$kind/vstout.wav" $limit ||
        fail "the $kind export differs from the input"
    pass "$kind export equals the input"
done

[ "$GUI" = "--no-gui" ] && exit 0

# 3. Two instances on two tracks, their editors opened by the session itself.
GUI_SESSION=$WORK/gui
SESSION_DIR=$GUI_SESSION SESSION_NAME=g VST_NAME=tq-spectrum TRACKS=2 \
    ardour7-lua "$HERE/make_session.lua" > "$OUT/gui-session.log" 2>&1 || true
[ "$(grep -c '^inserted: tq-spectrum' "$OUT/gui-session.log")" = 2 ] ||
    fail "no session with two instances (gui-session.log)"
for track in VSTTrack:40 VSTTrack2:420; do
    python3 "$HERE/inject_wav.py" "$GUI_SESSION/g.ardour" "${track%:*}" "$WORK/in.wav" >> "$OUT/gui-session.log"
    python3 "$HERE/open_editor_on_load.py" "$GUI_SESSION/g.ardour" "${track%:*}" "${track#*:}" > /dev/null
done
[ -n "$XVFB" ] || start_xvfb
ardour -n "$GUI_SESSION/g.ardour" > "$OUT/ardour.log" 2>&1 &
ARDOUR=$!

# Our windows: the only 570 x 180 ones. Their root positions from xwininfo,
# one line per position (an LV2 editor's window sits in a host window of
# its own size).
EDITORS=
for _ in $(seq 1 90); do
    EDITORS=$(xwininfo -root -tree 2> /dev/null | grep ' 570x180+' | awk '!seen[$NF]++' || true)
    [ "$(grep -c . <<< "$EDITORS")" -ge 2 ] && break
    sleep 1
done
[ "$(grep -c . <<< "$EDITORS")" -ge 2 ] || fail "the two editors did not open in Ardour (ardour.log)"
position() { sed -n "$1p" <<< "$EDITORS" | sed -E 's/.* 570x180\+-?[0-9]+\+-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \2/'; }
read -r X Y <<< "$(position 1)"
read -r X2 Y2 <<< "$(position 2)"
pass "editor windows at ($X, $Y) and ($X2, $Y2) of the screen"
MAIN=$(xdotool search --name ' - Ardour' | head -1)
PLUGWIN=$(xdotool search --onlyvisible --name 'tq-spectrum' | head -1)

grab() { import -window root -crop "570x180+$X+$Y" +repage "$1"; }
changed() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
# The first editor a second apart, as NAME-1.png and NAME-2.png; the pixels
# that changed.
moved() {
    grab "$WORK/$1-1.png"
    sleep 1
    grab "$WORK/$1-2.png"
    changed "$WORK/$1-1.png" "$WORK/$1-2.png"
}
sleep 2
xdotool key --window "$MAIN" space # play
sleep 4
moved=$(moved bars)
[ "${moved%% *}" != "0" ] || fail "the bars do not move while the session plays"
pass "the bars move ($moved pixels changed in a second)"

# The second editor's View menu, left open: the first editor's bars go on.
# The menu is a top-level window of its own while it is open.
toplevels() { xwininfo -root -children | grep -c '^ *0x'; }
before=$(toplevels)
xdotool mousemove $((X2 + 37)) $((Y2 + 10)) click 1
sleep 1
[ "$(toplevels)" -gt "$before" ] || fail "the View menu did not open in the second editor"
moved=$(moved other)
import -window root "$OUT/$PICTURE-two-editors.png"
[ "${moved%% *}" != "0" ] || fail "an open menu in one editor stops the other's bars"
pass "with a menu open in one editor the other's bars move ($moved pixels changed in a second)"
xdotool key Escape
sleep 1
[ "$(toplevels)" -eq "$before" ] || fail "the View menu stayed on screen after Escape"

# View > "Logarithmic" with the mouse: the menu's fourth entry.
xdotool mousemove $((X + 37)) $((Y + 10)) click 1
sleep 1
import -window root -crop "$((570 + 40))x$((180 + 80))+$((X - 20))+$((Y - 40))" +repage \
    "$OUT/$PICTURE-menu.png"
xdotool mousemove $((X + 20 + 30)) $((Y + 17 + 1 + 3 + 18 + 7 + 18 + 9)) click 1
sleep 3
grab "$WORK/bars-log.png"
labels() { convert "$1" -crop 570x12+0+143 +repage "$2"; }
labels "$WORK/bars-2.png" "$WORK/labels-linear.png"
labels "$WORK/bars-log.png" "$WORK/labels-log.png"
relabelled=$(changed "$WORK/labels-linear.png" "$WORK/labels-log.png")
[ "${relabelled%% *}" != "0" ] || fail "the labels did not change after View > Logarithmic"
pass "View > Logarithmic changed the labels"
if [ -n "$LV2" ]; then
    # The axis is the plug-in's state: saved with the session.
    xdotool key --window "$MAIN" ctrl+s
    sleep 3
    grep -rq 'tq-spectrum#axis> "1"' "$GUI_SESSION" ||
        fail "the saved session does not hold the logarithmic axis"
    pass "the saved session holds the logarithmic axis in the plug-in's state"
fi

[ -n "$PLUGWIN" ] && import -window "$PLUGWIN" "$OUT/$PICTURE-editor.png"
import -window root "$OUT/$PICTURE-screen.png"
xdotool key --window "$MAIN" space # stop
if grep -q 'tq-spectrum: X error' "$OUT/ardour.log"; then
    fail "X errors reported (ardour.log)"
fi
pass "no X error reported"
xdotool key --window "$MAIN" ctrl+q 2> /dev/null || true
sleep 3
[ -z "$LV2" ] && exit 0

# The saved session again: the first editor comes back on the logarithmic axis.
kill $ARDOUR 2> /dev/null || true
wait $ARDOUR 2> /dev/null || true
ardour -n "$GUI_SESSION/g.ardour" > "$OUT/ardour-reopened.log" 2>&1 &
ARDOUR=$!
for _ in $(seq 1 90); do
    xwininfo -root -tree 2> /dev/null | grep -q " 570x180+.* +$X+$Y" && break
    sleep 1
done
sleep 3
grab "$WORK/reopened.png"
labels "$WORK/reopened.png" "$WORK/labels-reopened.png"
relabelled=$(changed "$WORK/labels-log.png" "$WORK/labels-reopened.png")
[ "${relabelled%% *}" = "0" ] || fail "the reopened session's editor is not on the logarithmic axis"
pass "the reopened session's editor shows the logarithmic axis"
MAIN=$(xdotool search --name ' - Ardour' | head -1)
xdotool key --window "$MAIN" ctrl+q 2> /dev/null || true
sleep 3
