# shellcheck shell=bash
# Starts k4410r-sim in the background and waits until it has registered its
# COM port in $XDG_CONFIG_HOME/marrowlink/dosdevices. Sourced by the scripts.
#
# start_simulator <k4410r-sim> <log file> [simulator options...]
#   sets sim_pid and sim_port (COMn); fails when no port shows in 5 s.
# stop_simulator: ends it, which removes its link.
start_simulator() {
  local program=$1 log=$2
  shift 2
  # The background job opens the log only once it runs, maybe after the
  # first look at it below.
  : >"$log"
  "$program" "$@" >>"$log" 2>&1 </dev/null &
  sim_pid=$!
  sim_port=""
  for _ in $(seq 50); do
    sim_port=$(sed -n 's/^k4410r-sim: \(COM[0-9]*\) is .*/\1/p' "$log")
    [[ -n $sim_port ]] && return 0
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "k4410r-sim did not start:" >&2
  cat "$log" >&2
  return 1
}

stop_simulator() {
  if [[ -n ${sim_pid:-} ]]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=""
  fi
}
