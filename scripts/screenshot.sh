#!/usr/bin/env bash
# A screenshot under Xvfb of the three windows against the simulated
# instrument: the main window after sending p.v, the panel monitor (two
# panels, editors shown) to its right, the two-value monitor under that.
# The README shows docs/screenshot.png.
#
# usage: scripts/screenshot.sh [output png (default docs/screenshot.png)] [build dir (default build/release)]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/simulator.sh

output=$(realpath -m "${1:-docs/screenshot.png}")
build=${2:-build/release}
scripts/install-deps.sh
if [[ ! -x $build/bin/marrowlink && $build == build/release ]]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j "$(nproc)"
fi
program=$(realpath "$build/bin/marrowlink")
sim=$(realpath "$build/bin/k4410r-sim")
mkdir -p "$(dirname "$output")"

work=$(mktemp -d)
cleanup() {
  stop_simulator
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

export XDG_CONFIG_HOME=$work/config
appdir=$XDG_CONFIG_HOME/marrowlink
mkdir -p "$appdir"
{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink]\r\n'
  printf '"Port"="COM1"\r\n"Open"=dword:00000001\r\n"Monitor"=dword:00000001\r\n'
  printf '"Monitor Left"=dword:00000190\r\n"Monitor Top"=dword:00000000\r\n'
  printf '"Monitor Show Editors"=dword:00000001\r\n"Monitor Panels"=dword:00000002\r\n'
  printf '"Monitor Panel0 Command"="p.v"\r\n"Monitor Panel0 Color"=dword:ff000008\r\n'
  printf '"Monitor Panel1 Command"="s.p"\r\n"Monitor Panel1 Color"=dword:000000c0\r\n'
} >"$appdir/user.reg"
start_simulator "$sim" "$work/sim.log" --steady --port 1

# Without a window manager every window opens where it is placed and keeps
# no frame, so client positions are screen positions.
cat >"$work/session.sh" <<EOS
set -euo pipefail
export QT_QPA_PLATFORM=xcb
"$program" >"$work/app.log" 2>&1 &
app=\$!
xdotool search --sync --name '^K4410R Diroridodevo 3.2\$' >/dev/null
xdotool search --sync --name '^K4410R_MonitorForm\$' >/dev/null
sleep 1
# The "&Values" check box beside "&Monitor".
xdotool mousemove 150 86 click 1
values=\$(xdotool search --sync --name '^TestVM806D_LX_MonitorForm\$' | head -1)
xdotool windowmove "\$values" 400 320
# p.v typed into the message box and sent with Enter.
xdotool mousemove 180 60 click 1 key ctrl+a
xdotool type --delay 40 'p.v'
xdotool key Return
sleep 4
import -window root "$output"
kill -TERM \$app
wait \$app
EOS
xvfb-run -a -s "-screen 0 800x560x24" bash "$work/session.sh" || { cat "$work/app.log"; exit 1; }
echo "$output"
