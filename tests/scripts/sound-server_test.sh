#!/usr/bin/env bash
# start_sound_server starts the suite's own server even when another one
# answers on this machine (a stand-in pactl answers "info" for any caller that
# names no server, as a desktop's server under another home does), exports
# its address, which reaches it from a home and runtime folder of a test's
# own, and stop_sound_server ends it.
set -euo pipefail
top=$1
real_pactl=$(command -v pactl)
fake=$(mktemp -d /tmp/tonemill-sound-test.XXXXXX)
cleanup() {
  stop_sound_server 2>/dev/null || true
  rm -rf "$fake"
}
trap cleanup EXIT
cat >"$fake/pactl" <<STANDIN
#!/bin/sh
if [ -z "\${PULSE_SERVER:-}" ] && [ "\$1" = info ]; then
  echo "Server Name: another user's server"
  exit 0
fi
exec "$real_pactl" "\$@"
STANDIN
chmod +x "$fake/pactl"
unset PULSE_SERVER
export PATH="$fake:$PATH"

# shellcheck source=scripts/sound-server.sh
source "$top/scripts/sound-server.sh"
start_sound_server
fail() {
  echo "$1" >&2
  exit 1
}
[ -n "${PULSE_SERVER:-}" ] || fail "no server address was exported"
socket=${PULSE_SERVER#unix:}
[ -S "$socket" ] || fail "$PULSE_SERVER is not a socket"
mkdir -p "$fake/home" "$fake/runtime"
HOME="$fake/home" XDG_RUNTIME_DIR="$fake/runtime" "$real_pactl" info | grep -q "Default Sink: tonemill_null" ||
  fail "a test with its own home and runtime folders does not reach the suite's server"
pid=$started_pulse_pid
stop_sound_server
if kill -0 "$pid" 2>/dev/null; then
  fail "the server was left running"
fi
[ ! -e "$socket" ] || fail "the server's folder was left behind"
