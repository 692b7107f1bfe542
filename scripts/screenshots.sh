#!/usr/bin/env bash
# Takes screenshots of the real window under Xvfb: the main panel with two
# rows, the same after converting them (the end-of-batch line shown), each
# page of the options panel, the about panel, a row playing, and the window
# maximised, at one scale factor.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshots.sh OUTDIR [SCALE] [LANGUAGE]
# SCALE is QT_SCALE_FACTOR (default 1.0); LANGUAGE a file of Lang/ (default
# English.ini). Needs xdotool, ImageMagick's import and ffmpeg; openbox, when
# installed, is the window manager (without one the window cannot be
# maximised). Clicks go to fixed places of the window at its design size
# (logical pixels times SCALE).
set -euo pipefail
out=${1:?output folder}
scale=${2:-1.0}
language=${3:-English.ini}
here=$(cd "$(dirname "$0")/.." && pwd)
bin=${TONEMILL_BIN:-$here/build/release/bin}
mkdir -p "$out"

source "$here/scripts/sound-server.sh"
start_sound_server
home=$(mktemp -d)
config=$(mktemp -d)
media=$(mktemp -d)
manager=""
trap 'kill $pid 2>/dev/null || true; [ -z "$manager" ] || kill $manager 2>/dev/null || true; stop_sound_server; rm -rf "$home" "$config" "$media"' EXIT
if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  manager=$!
  sleep 0.5
fi
# Two songs for the list: one to play, one to wait.
ffmpeg -loglevel error -f lavfi -i "sine=f=440:d=90" -metadata title="A Song" "$media/A Song.flac"
ffmpeg -loglevel error -f lavfi -i "sine=f=330:d=30" "$media/Another Song.wav"
cp -r "$bin/Lang" "$home/"
mkdir -p "$config/Tonemill"
printf '[Language]\nName=%s\n' "$language" >"$config/Tonemill/Tonemill.conf"

# The outputs go below the private home, never the user's own.
HOME=$home TONEMILL_HOME=$home XDG_CONFIG_HOME=$config QT_SCALE_FACTOR=$scale "$bin/tonemill" "$media/A Song.flac" \
  "$media/Another Song.wav" &
pid=$!
window=""
for _ in $(seq 1 50); do
  window=$(xdotool search --onlyvisible --name '^Tonemill$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "the window did not show" >&2; exit 1; }
xdotool windowmove --sync "$window" 0 0
sleep 1

# A click at logical pixels X Y of the window.
click() {
  xdotool mousemove --sync "$(awk -v v="$1" -v s="$scale" 'BEGIN{printf "%d", v*s}')" \
    "$(awk -v v="$2" -v s="$scale" 'BEGIN{printf "%d", v*s}')" click 1
  sleep "${3:-0.3}"
}
shot() {
  import -window "$window" "$out/$1-$scale.png"
}

shot main
# "Convert All" in the bottom-right corner; the shot once both rows are converted.
click "${CONVERT_X:-695}" "${CONVERT_Y:-551}"
for _ in $(seq 1 600); do
  [ "$(ls "$home/Converted Files" 2>/dev/null | wc -l)" -ge 2 ] && break
  sleep 0.1
done
sleep 1
shot converted
# "Change..." at the right end of the summary row, then each format option.
click "${CHANGE_X:-693}" "${CHANGE_Y:-479}" 1.5
# The first format option (WAV), then each next one by the keyboard.
click "${FORMAT_X:-100}" "${FORMAT_Y:-244}"
shot options-0
for page in 1 2 3 4 5 6; do
  xdotool key --window "$window" Right space
  sleep 0.3
  shot "options-$page"
done
# "Save && Close", then the about button in the title strip.
click "${HIDE_X:-620}" "${HIDE_Y:-549}" 1.5
click "${ABOUT_X:-651}" "${ABOUT_Y:-13}" 1.5
shot about
# Escape closes it; then the first row is played from the keyboard.
xdotool key --window "$window" Escape
sleep 1.5
click "${ROW_X:-200}" "${ROW_Y:-141}"
xdotool key --window "$window" Return
sleep 2.5
shot playing
# The window's maximise button.
click "${MAXIMIZE_X:-704}" "${MAXIMIZE_Y:-13}" 1.5
shot maximised
