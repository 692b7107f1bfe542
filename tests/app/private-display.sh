# Sourced by the tests of the real window: a private Xvfb display under
# openbox, and the waits they share. The caller sets `work` (a folder of its
# own) before it sources this; the processes started here end, and `work` is
# removed, when the test exits.
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

# start_private_display: Xvfb on the first free display number from a random
# start, then openbox; DISPLAY names it once both answer.
start_private_display() {
  local n display=""
  for n in $(seq $((200 + RANDOM % 500)) 999); do
    [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
  done
  # -noreset: a server that resets when its last client leaves (each xdotool
  # call is one) refuses the clients that come meanwhile, openbox too.
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=$display
  waitFor 30 xdotool getmouselocation >/dev/null 2>&1 || fail "the display did not start"
  openbox >/dev/null 2>&1 &
  pids+=($!)
  # The window manager has taken the display once it names its desktops.
  waitFor 30 xdotool get_num_desktops >/dev/null 2>&1 || fail "the window manager did not start"
}
