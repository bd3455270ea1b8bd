#!/usr/bin/env bash
# Screenshots under Xvfb of the panel monitor watching its limits and of a
# trend window, against the drifting simulated instrument: p.v inside its
# band or out of it as it drifts, s.p above its high limit, an unknown
# command with limits (no number). After the given seconds of polling, the
# panel monitor goes to docs/panel-alarm.png and p.v's trend (10 minutes)
# to docs/trend.png. The README shows both. The simulated p.v swings once
# in about 126 s: after the default 124 s it is back near the middle of its
# band, having left it and come back on each side. The trend is zoomed in
# with the wheel to the last few minutes, the mouse on its plot showing the
# time and value under it.
#
# usage: scripts/screenshot-watch.sh [seconds of polling (124)] [build dir (default build/release)]
#          [output folder (default docs)]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/session.sh

seconds=${1:-124}
build=${2:-build/release}
output=$(realpath -m "${3:-docs}")
scripts/install-deps.sh
build_programs "$build" marrowlink k4410r-sim
start_session "$build"
mkdir -p "$output"
write_settings Port=COM1 Open=dword:1 Left=dword:0 Top=dword:600 Monitor=dword:1 \
  "Monitor Left=dword:0" "Monitor Top=dword:0" "Monitor Panels=dword:3" \
  "Monitor Panel0 Command=p.v" "Monitor Panel0 Color=dword:800000" \
  "Monitor Panel1 Command=s.p" "Monitor Panel1 Color=dword:8000" \
  "Monitor Panel2 Command=t.c" "Monitor Panel2 Color=dword:ff000008" \
  "[Limits]" "Panel0 Low=22.5" "Panel0 High=24.5" "Panel0 Hysteresis=0.2" \
  "Panel1 High=24.8" "Panel2 High=100"
start_simulator "$sim" "$work/sim.log" --port 1

start_xvfb 1280x900x24
window_session <<EOS
monitor=\$(xdotool search --sync --name '^K4410R_MonitorForm\$' | head -1)
sleep $seconds
import -window "\$monitor" "$output/panel-alarm.png"
# Panel0's menu: Limits..., Trend...
xdotool mousemove 150 100 click 3
sleep 1
xdotool key Down Down Return
trend=\$(xdotool search --sync --name '^Trend' | head -1)
xdotool windowmove "\$trend" 330 0
sleep 1
# Four notches of the wheel over the plot: about four of the ten minutes.
xdotool mousemove 1000 300 click --repeat 4 --delay 200 4
sleep 1
xdotool mousemove 1100 330
sleep 2
import -window "\$trend" "$output/trend.png"
EOS
echo "$output/panel-alarm.png $output/trend.png"
