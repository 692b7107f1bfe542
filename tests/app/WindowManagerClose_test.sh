#!/usr/bin/env bash
# The real window under a real window manager (openbox on a private Xvfb):
# Alt+F4 during a batch is refused as the window's own close button refuses
# it, the batch goes on to whole files, and SIGTERM then ends the window as a
# close does. Needs Xvfb, openbox, xdotool and a sound server (PULSE_SERVER,
# as scripts/test.sh gives every test); exits 77 (skipped) without them.
#   WindowManagerClose_test.sh TONEMILL_EXECUTABLE
set -euo pipefail
tonemill=${1:?the tonemill executable}
for tool in Xvfb openbox xdotool ffmpeg ffprobe; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
[ -n "${PULSE_SERVER:-}" ] || { echo "skipped: no sound server"; exit 77; }

work=$(mktemp -d)
source "$(dirname "$0")/private-display.sh"
start_private_display

ffmpeg -loglevel error -f lavfi -i "sine=f=440:d=300" -ac 2 "$work/long.flac"
export HOME=$work/home TONEMILL_HOME=$work/program XDG_CONFIG_HOME=$work/config
mkdir -p "$HOME" "$TONEMILL_HOME"
cp -r "$(dirname "$tonemill")/Lang" "$TONEMILL_HOME/"
unset QT_QPA_PLATFORM
"$tonemill" "$work/long.flac" >"$work/tonemill.log" 2>&1 &
app=$!
pids+=("$app")
window=""
findWindow() { window=$(xdotool search --onlyvisible --name '^Tonemill$' 2>/dev/null | head -1) && [ -n "$window" ]; }
waitFor 60 findWindow || fail "the window did not show"

# "Convert All" sits at the right end of the window's last row.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --sync $((X + WIDTH - 45)) $((Y + HEIGHT - 26)) click 1
# The batch has started once its temporary output exists.
converting() { compgen -G "$HOME/Converted Files/.tonemill-*" >/dev/null; }
waitFor 60 converting || fail "the batch did not start"
xdotool key --window "$window" alt+F4
boxShown() { [ "$(xdotool search --onlyvisible --name '^Tonemill$' | wc -l)" -ge 2 ]; }
waitFor 60 boxShown || fail "no box said the conversion must be stopped first"
kill -0 "$app" || fail "the window closed during the batch"
xdotool key Return

out="$HOME/Converted Files/long.mp3"
waitFor 300 test -f "$out" || fail "the batch did not go on to its file"
seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out")
awk -v s="$seconds" 'BEGIN { exit !(s > 299 && s < 301) }' || fail "the file holds $seconds s of 300"
ls "$HOME/Converted Files" | grep -q stopped && fail "a stopped file was left"

kill -TERM "$app"
ended() { ! kill -0 "$app" 2>/dev/null; }
waitFor 30 ended || fail "SIGTERM did not end the window"
wait "$app" || fail "the window ended with status $?"
echo "passed"
