#!/usr/bin/env bash
# A screenshot under Xvfb of the main window with both monitors beside it,
# polling the simulated instrument: the panel monitor (two panels, editors
# shown) to the right, the two-value monitor under it.
#
# usage: scripts/screenshot-monitors.sh [output png (default build/monitors.png)] [build dir (default build/default)]
set -euo pipefail
cd "$(dirname "$0")/.."

output=$(realpath -m "${1:-build/monitors.png}")
build=${2:-build/default}
program=$(realpath "$build/bin/marrowlink")
sim=$(realpath "$build/bin/k4410r-sim")

missing=()
for tool in xvfb-run:xvfb import:imagemagick xdotool:xdotool; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo=sudo
  $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

work=$(mktemp -d)
sim_pid=""
cleanup() {
  if [[ -n $sim_pid ]]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

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

"$sim" --steady --port 1 >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do
  [[ -e $appdir/dosdevices/com1 ]] && break
  sleep 0.1
done

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
sleep 4
import -window root "$output"
kill -TERM \$app
wait \$app
EOS
xvfb-run -a -s "-screen 0 800x560x24" bash "$work/session.sh" || { cat "$work/app.log"; exit 1; }
echo "$output"
