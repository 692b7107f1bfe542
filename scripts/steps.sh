# Sourced by the scripts CI runs: `step NAME COMMAND...` runs one step, says
# when it starts, how long it took and how much processor time its programs
# used (on a busy machine the second tells more), and keeps both for the
# summary `step_summary` prints at the end. A failing step fails as its
# command did.
step_names=()
step_seconds=()
step_cpu=()

# The processor seconds this shell's finished children have used so far.
# Sets children_cpu to the processor seconds this shell's finished children
# have used so far. `times` must run in this shell, not in a command
# substitution, whose subshell would count only its own children.
step_times_file=$(mktemp)
children_cpu=0
read_children_cpu() {
  times >"$step_times_file"
  children_cpu=$(awk 'function secs(t,  m) { split(t, m, /[ms]/); return m[1] * 60 + m[2] }
    NR == 2 { printf "%d", secs($1) + secs($2) }' "$step_times_file")
}

step() {
  local name=$1 start=$SECONDS cpu_start status=0 cpu
  shift
  read_children_cpu
  cpu_start=$children_cpu
  echo "== $name"
  "$@" || status=$?
  read_children_cpu
  cpu=$((children_cpu - cpu_start))
  step_names+=("$name")
  step_seconds+=($((SECONDS - start)))
  step_cpu+=("$cpu")
  echo "== $name: $((SECONDS - start)) s, processor $cpu s$([ $status -eq 0 ] || echo ", failed ($status)")"
  return $status
}

step_summary() {
  local i total=0 cpu=0
  rm -f "$step_times_file"
  echo "== time per step (wall, processor)"
  for i in "${!step_names[@]}"; do
    printf '%6d s %6d s  %s\n' "${step_seconds[$i]}" "${step_cpu[$i]}" "${step_names[$i]}"
    total=$((total + step_seconds[i]))
    cpu=$((cpu + step_cpu[i]))
  done
  printf '%6d s %6d s  in all (%d min)\n' "$total" "$cpu" $((total / 60))
}
