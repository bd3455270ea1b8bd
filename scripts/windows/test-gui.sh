#!/usr/bin/env bash
# Checks the Windows zip end to end under Wine, headless (Xvfb), in a fresh
# Wine prefix, from the unpacked zip alone: the main window shows; the port
# list holds the COM port that Wine maps to the simulator; that port opens
# (its modem lines kept by tools/wine-modem, preloaded into Wine), and p.v
# typed into Message is answered in the log from the simulator; both monitor
# windows open; Trend of All Panels... opens a trend, which shows a readings
# file and saves a PNG of it holding the line's colour; a Windows close
# request ends the program, which leaves its
# 34 settings in Wine's registry. Screenshots go beside the zip.
#
#   scripts/windows/test-gui.sh [zip]    (default: build/windows/marrowlink-3.2-windows-x64.zip)
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=scripts/lib/session.sh
source scripts/lib/session.sh
# shellcheck source=scripts/lib/wine-window.sh
source scripts/lib/wine-window.sh

zip=${1:-build/windows/marrowlink-3.2-windows-x64.zip}
out=$(dirname "$zip")
key=$settings_key
sim_port=COM9
started=$(date +%s)

check_name="Windows GUI check"
# shellcheck source=scripts/lib/checks.sh
source scripts/lib/checks.sh

[ -f "$zip" ] || die "no $zip (scripts/windows/package.sh makes it)"
scripts/install-deps.sh windows-gui

# The simulator runs natively; a small Windows program reads back what the
# check cannot see through X: the clipboard, the system's error texts and
# where a window's client area lies.
sim_build=build/mingw-sim
cmake -S . -B "$sim_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DMARROWLINK_GUI=OFF -DMARROWLINK_TESTS=OFF >/dev/null
cmake --build "$sim_build" --target k4410r-sim marrowlink_wine_modem >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/marrowlink-wingui-XXXXXX")
app_pid=""
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export XDG_CONFIG_HOME="$work/xdg"
# A pseudo-terminal has no modem lines; this keeps them for Wine, so that
# RTS keys each exchange with the simulator as on a real port.
export LD_PRELOAD=$PWD/$sim_build/bin/libmarrowlink_wine_modem.so
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  stop_simulator
  wineserver -k >/dev/null 2>&1 </dev/null || true
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -static -o "$work/wintext.exe" tests/windows-gui/WinText.cpp ||
  die "building the text reader"
unzip -q "$zip" -d "$work/unpacked" || die "unpacking $zip"
app=$(find "$work/unpacked" -mindepth 1 -maxdepth 1 -type d | head -n 1)
[ -f "$app/marrowlink.exe" ] || die "the zip has no marrowlink.exe in its folder"

# A console program opens a console beside its window, and closing that
# console ends the program without saving: the header must say GUI (2).
gui_subsystem() {
  # grep reads to the end: with -q it would stop early, and objdump's broken
  # pipe would fail the check under pipefail.
  x86_64-w64-mingw32-objdump -p "$app/marrowlink.exe" |
    grep -E '^Subsystem[[:space:]]+0*2[[:space:]]' >/dev/null
}
check "marrowlink.exe is a GUI program (no console window)" gui_subsystem

start_xvfb 1280x1024x24 || die "starting Xvfb"

start_simulator "$sim_build/bin/k4410r-sim" "$work/sim.log" --steady --port "${sim_port#COM}" ||
  die "starting k4410r-sim"
pty=$(readlink "$XDG_CONFIG_HOME/marrowlink/dosdevices/${sim_port,,}") || die "the simulator's port link"

wine_quiet() { wine "$@" >/dev/null 2>&1 </dev/null; }
start_wine() {
  mkdir -p "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1 </dev/null
  wine_quiet cmd /c exit
}
start_wine
# Wine's device manager reads its port table only when it starts.
wine_quiet reg add 'HKLM\Software\Wine\Ports' /v "$sim_port" /d "$pty" /f || die "mapping $sim_port to $pty"
# What an operator would have left: the simulator's port, and the window
# placed clear of the top-left corner, where the monitors open.
wine_quiet reg add "$key" /v Port /t REG_SZ /d "$sim_port" /f || die "seeding the settings"
wine_quiet reg add "$key" /v Left /t REG_DWORD /d 500 /f || die "seeding the settings"
wine_quiet reg add "$key" /v Top /t REG_DWORD /d 400 /f || die "seeding the settings"
wineserver -k >/dev/null 2>&1 </dev/null || true
wineserver -w >/dev/null 2>&1 </dev/null || true
start_wine

# The command-line program of the zip starts, says what it is, and finds the
# simulator's port as the window does.
cli_runs() {
  wine "$app/marrowlink-cli.exe" --help 2>/dev/null </dev/null | grep -F 'Exit status:' >/dev/null &&
    wine "$app/marrowlink-cli.exe" ports 2>/dev/null </dev/null | grep -F "$sim_port" >/dev/null
}
check "marrowlink-cli.exe starts and lists $sim_port" cli_runs

wintext() { wine "$work/wintext.exe" "$@" 2>/dev/null </dev/null | tr -d '\r'; }
shot() { import -window root "$out/$1" 2>/dev/null && echo "        screenshot: $out/$1"; }
# click <x> <y>: at a point of the main window's client area.
click() {
  xdotool mousemove $((origin_x + $1)) $((origin_y + $2)) click 1
  sleep 0.5
}

(cd "$app" && exec wine ./marrowlink.exe >"$work/marrowlink.log" 2>&1 </dev/null) &
app_pid=$!

wait_windows "$title" 1 90 || {
  tail -n 20 "$work/marrowlink.log"
  die "the window \"$title\" appeared"
}
echo "ok:     the window \"$title\" appeared after $(($(date +%s) - started)) s"
sleep 2
read -r origin_x origin_y < <(wintext client "$title") || die "finding the window's client area"
shot windows-gui.png

# The saved port is selected only when the list holds it; opening the list
# shows it with the other ports.
click 180 23
shot windows-gui-ports.png
xdotool key Escape
sleep 0.5

# error_box <expected text> <screenshot or ""> <action...>: the action shows
# an error box with the application's title and that text, and OK dismisses
# it. The box's Ctrl+C puts its caption and text on the clipboard between
# dashed lines.
error_box() {
  local expected=$1 screenshot=$2 box text caption message
  shift 2
  "$@" || return 1
  wait_windows "$title" 2 20 || {
    echo "        no error box appeared"
    return 1
  }
  box=$(windows_named "$title" | tail -n 1)
  [ -n "$screenshot" ] && shot "$screenshot"
  xdotool key ctrl+c
  sleep 0.5
  text=$(wintext clipboard)
  xdotool key Return
  wait_windows "$title" 1 10 || {
    echo "        the error box (window $box) did not go with OK"
    return 1
  }
  caption=$(printf '%s\n' "$text" | awk '/^-+$/ { n++; next } n == 1')
  message=$(printf '%s\n' "$text" | awk '/^-+$/ { n++; next } n == 2')
  if [ "$caption" != "$title" ] || [ "$message" != "$expected" ]; then
    printf '        the box said:\n%s\n        expected the caption "%s" and:\n%s\n' \
      "$text" "$title" "$expected"
    return 1
  fi
}

# Open opens the simulator's port: no error box comes (one that does is
# dismissed, so that the checks after it can go on).
opens() {
  click 345 23
  sleep 3
  kill -0 "$app_pid" 2>/dev/null && [ "$(windows_named "$title" | wc -l)" -eq 1 ] && return 0
  echo "        an error box came, or the program ended"
  shot windows-gui-error.png
  xdotool key Return
  return 1
}
check "$sim_port opens" opens
# log_text: the main window's log, as Ctrl+A and Ctrl+C there copy it.
log_text() {
  click 150 200
  xdotool key ctrl+a ctrl+c
  sleep 0.5
  wintext clipboard | tr -d '\r'
}
# answered <message> <first log line>: typed into Message and sent with
# Enter, the message's answer shows in the log within 10 s.
answered() {
  local deadline=$((SECONDS + 10)) log
  click 150 60
  xdotool key ctrl+a
  xdotool type --delay 50 "$1"
  xdotool key Return
  while :; do
    log=$(log_text) || log=""
    [ "$(printf '%s\n' "$log" | head -n 1)" = "$2" ] && break
    if [ $SECONDS -ge $deadline ]; then
      printf '        the log holds:\n%s\n' "$log" | sed 's/^/          /'
      return 1
    fi
    sleep 1
  done
  shot windows-gui-answer.png
}
check "p.v sent through the window is answered: \"1. p.v 23.5\"" answered p.v "1. p.v 23.5"

# The program carries on: both monitors open from their check boxes.
click 66 85
check "the panel monitor window opens" wait_windows K4410R_MonitorForm 1 15
click 146 85
check "the two-value monitor window opens" wait_windows TestVM806D_LX_MonitorForm 1 15
sleep 1
shot windows-gui-monitors.png

# The trend, drawn by the program itself: Trend of All Panels..., the last
# item of a panel's menu, opens it; Open Recording... (Alt+O) shows the
# readings file that comes with this check, and Save Image As... (Alt+S)
# saves the plot, in whose middle the line's colour must show (the value
# axis beside it has that colour too). The port is closed first: while both
# monitors poll the simulator, their exchanges keep the window so busy that
# the menu comes after the keys meant for it.
click 345 23
cp tests/windows-gui/recording.csv "$work/recording.csv"
# in_dialog <title> <path>: the file dialog of that title takes the path.
in_dialog() {
  wait_windows "$1" 1 20 || {
    echo "        no dialog \"$1\" came"
    return 1
  }
  sleep 1
  xdotool type --delay 20 "Z:${2//\//\\}"
  xdotool key Return
}
# in_trend <title> <key>: the key pressed in the trend window of that title.
in_trend() {
  local x y
  read -r x y < <(wintext client "$1") || return 1
  xdotool mousemove $((x + 450)) $((y + 300)) click 1
  sleep 0.5
  xdotool key "$2"
}
trend_opens() {
  local x y
  read -r x y < <(wintext client K4410R_MonitorForm) || return 1
  xdotool mousemove $((x + 150)) $((y + 100)) click 3
  sleep 1
  xdotool key Up Return
  wait_windows "Trend p.v" 1 20
}
check "Trend of All Panels... opens the trend of p.v" trend_opens
recording_opens() {
  in_trend "Trend p.v" alt+o && in_dialog "Open Recording" "$work/recording.csv" &&
    wait_windows "Trend p.v - recording.csv" 1 20
}
check "Open Recording... shows the readings file" recording_opens
sleep 1
shot windows-gui-trend.png
line_saved() {
  local image=$work/trend.png count
  in_trend "Trend p.v - recording.csv" alt+s && in_dialog "Save Image As" "$image" || return 1
  local deadline=$((SECONDS + 20))
  until [ -s "$image" ]; do
    [ $SECONDS -lt $deadline ] || {
      echo "        no $image"
      return 1
    }
    sleep 0.5
  done
  sleep 1
  cp "$image" "$out/windows-gui-trend-saved.png"
  count=$(convert "$image" -gravity center -crop 50%x50%+0+0 +repage txt:- | grep -ci '#1F77B4')
  echo "        $count pixels of the line's colour #1F77B4 in the middle of the plot"
  [ "$count" -ge 50 ]
}
check "Save Image As... saves a PNG with the line in its colour" line_saved

# A Windows close request, as when Windows logs off: the main window closes
# and the program ends, saving its settings.
wine_quiet taskkill /im marrowlink.exe || true
check "the program ends on a close request" app_exited

read_settings "$key" "$work"
check "$key holds the 34 values of the schema with their types" settings_match "$work"
value_is() { grep -qxF "$1" "$work/values.txt" || echo "        no $1"; grep -qxF "$1" "$work/values.txt"; }
check "the saved port is $sim_port, so the list held it" value_is "REG_SZ|Port|$sim_port"
check "closing wrote the window's own settings" value_is "REG_SZ|Address|255"
check "the window's place came back as saved" value_is "REG_DWORD|Left|0x1f4"

elapsed=$(($(date +%s) - started))
if [ $failed -gt 0 ]; then
  echo "Windows GUI check: $failed check(s) FAILED in $elapsed s"
  exit 1
fi
echo "Windows GUI check: all passed in $elapsed s (zip $(du -k "$zip" | cut -f1) KB, screenshots $out/windows-gui*.png)"
