#!/usr/bin/env bash
# Measures under Xvfb how long marrowlink takes until its window is visible
# and how much memory it holds while repeating "p.v" once a second against
# the simulated instrument; prints the median of several runs as
# window_ms=<N> rss_kb=<N>.
#
# usage: scripts/startup.sh [build dir (default build/release)] [runs (default 5)]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/simulator.sh
source scripts/XvfbSession.sh

build=${1:-build/release}
runs=${2:-5}
program=$(realpath "$build/bin/marrowlink")
sim=$(realpath "$build/bin/k4410r-sim")

work=$(mktemp -d)
cleanup() {
  [[ -n ${app:-} ]] && kill "$app" 2>/dev/null
  stop_simulator
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

export XDG_CONFIG_HOME=$work/config
appdir=$XDG_CONFIG_HOME/marrowlink
mkdir -p "$appdir"
export QT_QPA_PLATFORM=xcb
start_xvfb 1024x768x24

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

windows=()
memory=()
for _ in $(seq "$runs"); do
  # A fresh instrument every run: each run opens a port nobody used before.
  start_simulator "$sim" "$work/sim.log" --steady
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink]\r\n"Port"="%s"\r\n"Open"=dword:00000001\r\n"Cycle"=dword:00000001\r\n"Message"="p.v"\r\n' \
    "$sim_port" >"$appdir/user.reg"

  start=$(date +%s%N)
  "$program" >"$work/app.log" 2>&1 &
  app=$!
  until xdotool search --onlyvisible --name '^K4410R Diroridodevo 3.2$' >/dev/null 2>&1; do
    if ! kill -0 "$app" 2>/dev/null; then
      kill -0 "$xvfb_pid" 2>/dev/null || echo "the X server ended" >&2
      cat "$work/app.log" >&2
      exit 1
    fi
    sleep 0.01
  done
  windows+=($((($(date +%s%N) - start) / 1000000)))

  # Three seconds of polling; the largest resident size seen counts.
  peak=0
  for _ in $(seq 30); do
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$app/status")
    ((rss > peak)) && peak=$rss
    sleep 0.1
  done
  memory+=("$peak")

  kill -TERM "$app"
  wait "$app"
  app=
  stop_simulator
done

echo "window_ms=$(printf '%s\n' "${windows[@]}" | median) rss_kb=$(printf '%s\n' "${memory[@]}" | median)"
