# shellcheck shell=bash
# Runs a private Xvfb on a free display for the scripts here and exports
# DISPLAY. Sourced.
#
# start_xvfb <WxHxD>: sets xvfb_pid; fails when no server comes up.
# stop_xvfb: ends it and waits, so a server going away cannot remove the
# socket of the next one on the same display.
start_xvfb() {
  local size=$1 display
  # High numbers keep clear of the servers of other sessions on the machine.
  for display in $(seq 200 299); do
    [[ -e /tmp/.X$display-lock ]] && continue
    Xvfb ":$display" -screen 0 "$size" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      if xdpyinfo -display ":$display" >/dev/null 2>&1; then
        export DISPLAY=:$display
        return 0
      fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
    stop_xvfb
  done
  echo "no Xvfb display could be started" >&2
  return 1
}

stop_xvfb() {
  if [[ -n ${xvfb_pid:-} ]]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  fi
  return 0
}
