#!/usr/bin/env bash
# A screenshot under Xvfb of the Commands window beside the main window
# (widened to show a line of hex),
# against the simulated instrument: the log shows answers in hex, one
# button sent once and another running every 2 s. The README shows
# docs/commands.png.
#
# usage: scripts/screenshot-commands.sh [output png (default docs/commands.png)] [build dir (default build/release)]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/session.sh

start_screenshot_session docs/commands.png "$@"
write_settings Port=COM1 Open=dword:1 Left=dword:0 Top=dword:0 Message=p.v \
  "[Recording]" "Log View=dword:2" \
  "[Commands]" "Buttons=dword:4" "Visible=dword:1" "Left=dword:244" "Top=dword:0" \
  "Button0 Caption=Value" "Button0 Command=p.v" "Button0 Every=dword:0" \
  "Button1 Caption=Set point" "Button1 Command=s.p" "Button1 Every=dword:0" \
  "Button2 Caption=" "Button2 Command=F\\x30" "Button2 Every=dword:7d0" \
  "Button3 Caption=Output" "Button3 Command=o.p" "Button3 Every=dword:0"
start_simulator "$sim" "$work/sim.log" --steady --port 1

start_xvfb 960x330x24
window_session <<EOS
xdotool search --sync --name '^Commands\$' >/dev/null
# Wide enough for a line of hex; the Commands window stands beside it.
xdotool windowsize "\$window" 570 317
sleep 1
send p.v
sleep 1
# In the main window: Ctrl+2 sends s.p once, Ctrl+3 starts F\x30 every 2 s.
xdotool key ctrl+2
sleep 1
xdotool key ctrl+3
sleep 3
import -window root "$output"
EOS
echo "$output"
