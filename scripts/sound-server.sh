# Sourced by test.sh: starts the suite's own private PulseAudio server with a
# null sink (its monitor can be recorded with parec), whatever else answers on
# this machine, and exports its address (PULSE_SERVER) to every test: tests
# that give themselves their own home and runtime folders still reach it, and
# no test plays into the desktop's server. stop_sound_server stops it.
started_pulse_pid=""
started_pulse_runtime=""

stop_sound_server() {
  if [ -n "$started_pulse_pid" ]; then
    kill "$started_pulse_pid" 2>/dev/null || true
    wait "$started_pulse_pid" 2>/dev/null || true
    started_pulse_pid=""
  fi
  if [ -n "$started_pulse_runtime" ]; then
    rm -rf "$started_pulse_runtime"
    started_pulse_runtime=""
  fi
}

start_sound_server() {
  stop_sound_server
  local runtime
  runtime=$(mktemp -d /tmp/tonemill-pulse.XXXXXX)
  started_pulse_runtime=$runtime
  export XDG_RUNTIME_DIR=$runtime
  export PULSE_RUNTIME_PATH=$runtime/pulse
  mkdir -p "$PULSE_RUNTIME_PATH"
  pulseaudio --system=false --daemonize=no --exit-idle-time=-1 -n --disable-shm=yes \
    --load="module-native-protocol-unix socket=$runtime/pulse/native auth-anonymous=1" \
    --load="module-null-sink sink_name=tonemill_null sink_properties=device.description=TonemillNull" \
    --log-target=file:"$runtime/pulse.log" &
  started_pulse_pid=$!
  export PULSE_SERVER=unix:$runtime/pulse/native
  for _ in $(seq 1 50); do
    [ -S "$runtime/pulse/native" ] && pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  pactl set-default-sink tonemill_null >/dev/null 2>&1 || true
  [ -S "$runtime/pulse/native" ] && pactl info >/dev/null 2>&1 ||
    { echo "could not start a PulseAudio server" >&2; return 1; }
}
