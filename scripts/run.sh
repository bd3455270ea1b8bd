#!/usr/bin/env bash
# Installs what is missing, builds in Release, starts the simulated
# instrument on a COM port of its own and then marrowlink, which lists that
# port. Without a display it does the same under Xvfb for a few seconds:
# opens the port, sends p.v through the window and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/session.sh

scripts/install-deps.sh
build_programs build/release

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  start_session --user-settings build/release
  start_simulator "$sim" "$work/sim.log" --steady
  echo
  echo "The simulated instrument answers on $sim_port."
  echo "In the window: pick $sim_port under Port, press Open, type p.v and press Enter."
  echo "Close the window to stop both."
  "$program"
  exit
fi

# No display: a private settings folder, so the session neither depends on
# nor changes the user's own settings, with the simulator's port selected.
start_session build/release
start_simulator "$sim" "$work/sim.log" --steady --record "$work/wire"
write_settings "Port=$sim_port"

screenshot=$PWD/build/release/run.png
echo
echo "No display: running under Xvfb with the simulated instrument on $sim_port."
start_xvfb 800x600x24
send_through_window --open "$screenshot"
if ! grep -q 'p\.v' "$work/wire" 2>/dev/null; then
  echo "p.v never reached the simulated instrument" >&2
  exit 1
fi
echo "Sent p.v to $sim_port through the window; the window with the answer: $screenshot"
