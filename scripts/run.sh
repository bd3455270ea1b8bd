#!/usr/bin/env bash
# Installs what is missing, builds in Release, starts the simulated
# instrument on a COM port of its own and then marrowlink, which lists that
# port. Without a display it does the same under Xvfb for a few seconds:
# opens the port, sends p.v through the window and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/simulator.sh
source scripts/lib/settings.sh
source scripts/lib/xvfb.sh

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
bin=$PWD/build/release/bin

work=$(mktemp -d "${TMPDIR:-/tmp}/marrowlink-run-XXXXXX")
cleanup() {
  stop_simulator
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  start_simulator "$bin/k4410r-sim" "$work/sim.log" --steady
  echo
  echo "The simulated instrument answers on $sim_port."
  echo "In the window: pick $sim_port under Port, press Open, type p.v and press Enter."
  echo "Close the window to stop both."
  "$bin/marrowlink"
  exit
fi

# No display: a private settings folder, so the session neither depends on
# nor changes the user's own settings, with the simulator's port selected.
export XDG_CONFIG_HOME=$work/config
export XDG_DATA_HOME=$work/data
start_simulator "$bin/k4410r-sim" "$work/sim.log" --steady --record "$work/wire"
write_settings "Port=$sim_port"

screenshot=$PWD/build/release/run.png
echo
echo "No display: running under Xvfb with the simulated instrument on $sim_port."
# Without a window manager the main window sits at the screen's origin with
# no frame, so its controls are where the window places them.
cat >"$work/session.sh" <<EOS
set -euo pipefail
export QT_QPA_PLATFORM=xcb
"$bin/marrowlink" >"$work/app.log" 2>&1 &
app=\$!
window=\$(xdotool search --sync --name '^K4410R Diroridodevo 3.2\$' | head -1)
sleep 1
xdotool mousemove 345 23 click 1
sleep 0.5
xdotool mousemove 180 60 click 1 key ctrl+a
xdotool type --delay 40 'p.v'
xdotool key Return
sleep 1.5
import -window "\$window" "$screenshot"
kill -TERM \$app
wait \$app
EOS
start_xvfb 800x600x24
if ! bash "$work/session.sh"; then
  cat "$work/app.log" >&2
  exit 1
fi
if ! grep -q 'p\.v' "$work/wire" 2>/dev/null; then
  echo "p.v never reached the simulated instrument" >&2
  exit 1
fi
echo "Sent p.v to $sim_port through the window; the window with the answer: $screenshot"
