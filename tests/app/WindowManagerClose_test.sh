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
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; exit 1; }

# A display of our own: the first free number from a random start.
for n in $(seq $((200 + RANDOM % 500)) 999); do
  [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 1 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

ffmpeg -loglevel error -f lavfi -i "sine=f=440:d=300" -ac 2 "$work/long.flac"
export HOME=$work/home TONEMILL_HOME=$work/program XDG_CONFIG_HOME=$work/config
mkdir -p "$HOME" "$TONEMILL_HOME"
cp -r "$(dirname "$tonemill")/Lang" "$TONEMILL_HOME/"
unset QT_QPA_PLATFORM
"$tonemill" "$work/long.flac" >"$work/tonemill.log" 2>&1 &
app=$!
pids+=("$app")
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --name '^Tonemill$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || fail "the window did not show"

# "Convert All" sits at the right end of the window's last row.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --sync $((X + WIDTH - 45)) $((Y + HEIGHT - 26)) click 1
sleep 0.5
xdotool key --window "$window" alt+F4
sleep 1
shown=$(xdotool search --onlyvisible --name '^Tonemill$' | wc -l)
[ "$shown" -ge 2 ] || fail "no box said the conversion must be stopped first ($shown windows)"
kill -0 "$app" || fail "the window closed during the batch"
xdotool key Return

out="$HOME/Converted Files/long.mp3"
for _ in $(seq 1 600); do [ -f "$out" ] && break; sleep 0.2; done
[ -f "$out" ] || fail "the batch did not go on to its file"
seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out")
awk -v s="$seconds" 'BEGIN { exit !(s > 299 && s < 301) }' || fail "the file holds $seconds s of 300"
ls "$HOME/Converted Files" | grep -q stopped && fail "a stopped file was left"

kill -TERM "$app"
for _ in $(seq 1 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "SIGTERM did not end the window"
wait "$app" || fail "the window ended with status $?"
echo "passed"
