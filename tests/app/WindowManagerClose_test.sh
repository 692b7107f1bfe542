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
# waitFor SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds;
# fails after SECONDS. Generous limits: the machine may be busy.
waitFor() {
  local limit=$1; shift
  local tries=$((limit * 10))
  for _ in $(seq 1 "$tries"); do "$@" && return 0; sleep 0.1; done
  return 1
}

# A display of our own: the first free number from a random start.
for n in $(seq $((200 + RANDOM % 500)) 999); do
  [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
# -noreset: a server that resets when its last client leaves (each xdotool
# below is one) refuses the clients that come meanwhile, openbox too.
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
waitFor 30 xdotool getmouselocation >/dev/null 2>&1 || fail "the display did not start"
openbox >/dev/null 2>&1 &
pids+=($!)
# The window manager has taken the display once it names its desktops.
waitFor 30 xdotool get_num_desktops >/dev/null 2>&1 || fail "the window manager did not start"

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
