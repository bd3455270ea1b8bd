#!/usr/bin/env bash
# A screenshot under Xvfb of the three windows against the simulated
# instrument: the main window after sending p.v, the panel monitor (two
# panels, editors shown) to its right, the two-value monitor under that.
# The README shows docs/screenshot.png.
#
# usage: scripts/screenshot.sh [output png (default docs/screenshot.png)] [build dir (default build/release)]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/session.sh

start_screenshot_session docs/screenshot.png "$@"
write_settings Port=COM1 Open=dword:1 Monitor=dword:1 "Monitor Left=dword:190" \
  "Monitor Top=dword:0" "Monitor Show Editors=dword:1" "Monitor Panels=dword:2" \
  "Monitor Panel0 Command=p.v" "Monitor Panel0 Color=dword:ff000008" \
  "Monitor Panel1 Command=s.p" "Monitor Panel1 Color=dword:c0"
start_simulator "$sim" "$work/sim.log" --steady --port 1

start_xvfb 800x560x24
window_session <<EOS
xdotool search --sync --name '^K4410R_MonitorForm\$' >/dev/null
sleep 1
# The "&Values" check box beside "&Monitor".
xdotool mousemove 150 86 click 1
values=\$(xdotool search --sync --name '^TestVM806D_LX_MonitorForm\$' | head -1)
xdotool windowmove "\$values" 400 320
send p.v
sleep 4
import -window root "$output"
EOS
echo "$output"
