# Sourced by the scripts CI runs: `step NAME COMMAND...` runs one step, says
# when it starts and how long it took, and keeps the time for the summary
# `step_summary` prints at the end. A failing step fails as its command did.
step_names=()
step_seconds=()

step() {
  local name=$1 start=$SECONDS status=0
  shift
  echo "== $name"
  "$@" || status=$?
  step_names+=("$name")
  step_seconds+=($((SECONDS - start)))
  echo "== $name: $((SECONDS - start)) s$([ $status -eq 0 ] || echo ", failed ($status)")"
  return $status
}

step_summary() {
  local i total=0
  echo "== time per step"
  for i in "${!step_names[@]}"; do
    printf '%6d s  %s\n' "${step_seconds[$i]}" "${step_names[$i]}"
    total=$((total + step_seconds[i]))
  done
  printf '%6d s  in all (%d min)\n' "$total" $((total / 60))
}
