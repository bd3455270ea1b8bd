# shellcheck shell=bash
# Starts k4410r-sim in the background and waits until it has registered its
# COM port in $XDG_CONFIG_HOME/marrowlink/dosdevices. Sourced by the scripts.
#
# start_simulator <k4410r-sim> <log file> [simulator options...]
#   sets sim_pid and sim_port (COMn); fails when no port shows in 5 s.
# stop_simulator: ends it, which removes its link.
source scripts/lib/background.sh

start_simulator() {
  local program=$1 log=$2
  shift 2
  # The background job opens the log only once it runs, maybe after the
  # first look at it below.
  : >"$log"
  "$program" "$@" >>"$log" 2>&1 </dev/null &
  sim_pid=$!
  sim_port=""
  wait_started "$sim_pid" k4410r-sim "$log" 50 port_shown "$log"
}

# Sets sim_port from the simulator's first line, once it is there.
port_shown() {
  sim_port=$(sed -n 's/^k4410r-sim: \(COM[0-9]*\) is .*/\1/p' "$1")
  [[ -n $sim_port ]]
}

stop_simulator() {
  stop_background "${sim_pid:-}"
  sim_pid=""
}
