# shellcheck shell=bash
# A helper program of a script's, run in the background. Sourced.
#
# wait_started <pid> <name> <log> <tries> <ready command...>: runs the
#   command every 0.1 s until it succeeds, at most <tries> times while the
#   process lives; else says "<name> did not start:" with its log and fails.
# stop_background <pid>: ends the process, when there is one, and waits.
wait_started() {
  local pid=$1 name=$2 log=$3 tries=$4
  shift 4
  for _ in $(seq "$tries"); do
    "$@" && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "$name did not start:" >&2
  cat "$log" >&2
  return 1
}

stop_background() {
  [[ -n $1 ]] || return 0
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
