#!/usr/bin/env bash
# Runs a Python check of the real window (SCRIPT) on a private Xvfb display
# under openbox, inside a private session bus whose at-spi registry lets the
# check find the window's controls, their places and names as a screen
# reader does. Needs Xvfb, openbox, xdotool, dbus-run-session, at-spi2-core,
# Debian's python3-pyatspi, ffmpeg and a sound server (PULSE_SERVER, as
# scripts/test.sh gives every test); exits 77 (skipped) without them.
#   RealWindow_test.sh TONEMILL_EXECUTABLE SCRIPT.py
set -euo pipefail
tonemill=${1:?the tonemill executable}
script=${2:?the check to run}
for tool in Xvfb openbox xdotool dbus-run-session ffmpeg; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "skipped: python3-pyatspi is not installed"; exit 77; }
[ -n "${PULSE_SERVER:-}" ] || { echo "skipped: no sound server"; exit 77; }

work=$(mktemp -d)
source "$(dirname "$0")/private-display.sh"
start_private_display

# The desktop's "open" of a folder, recorded instead of shown.
mkdir -p "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH TONEMILL_TEST_WORK=$work

export HOME=$work/home TONEMILL_HOME=$work/program XDG_CONFIG_HOME=$work/config
mkdir -p "$HOME" "$TONEMILL_HOME" "$XDG_CONFIG_HOME/Tonemill"
printf '[Language]\nName=English.ini\n' >"$XDG_CONFIG_HOME/Tonemill/Tonemill.conf"
cp -r "$(dirname "$tonemill")/Lang" "$TONEMILL_HOME/"
unset QT_QPA_PLATFORM
dbus-run-session -- /usr/bin/python3 "$script" "$tonemill"
