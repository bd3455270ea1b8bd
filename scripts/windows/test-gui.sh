#!/usr/bin/env bash
# Checks the Windows zip end to end under Wine, headless (Xvfb), in a fresh
# Wine prefix, from the unpacked zip alone: the main window shows; the port
# list holds the COM port that Wine maps to the simulator; that port opens
# (its modem lines kept by tools/wine-modem, preloaded into Wine), and p.v
# typed into Message is answered in the log from the simulator; both monitor
# windows open; with the panel monitor polling the simulator, Trend of All
# Panels... opens a trend of its polls and saves a PNG of it holding the
# line's colour, and then shows a readings file and saves that too; a
# Windows close request ends the program, which leaves its 34 settings in
# Wine's registry. Screenshots go beside the zip.
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

# shellcheck source=scripts/lib/wine-sim.sh
source scripts/lib/wine-sim.sh
# shellcheck source=scripts/lib/wine-operator.sh
source scripts/lib/wine-operator.sh
start_wine_check wingui
build_wintext || die "building the text reader"
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

sim_behind_port "$sim_port" "$work/sim.log" || die "starting k4410r-sim behind $sim_port"
seed_settings "$key" "$sim_port" || die "seeding the settings"

# The command-line program of the zip starts, says what it is, and finds the
# simulator's port as the window does.
cli_runs() {
  wine "$app/marrowlink-cli.exe" --help 2>/dev/null </dev/null | grep -F 'Exit status:' >/dev/null &&
    wine "$app/marrowlink-cli.exe" ports 2>/dev/null </dev/null | grep -F "$sim_port" >/dev/null
}
check "marrowlink-cli.exe starts and lists $sim_port" cli_runs

(cd "$app" && exec wine ./marrowlink.exe >"$work/marrowlink.log" 2>&1 </dev/null) &
app_pid=$!

wait_windows "$title" 1 90 || {
  tail -n 20 "$work/marrowlink.log"
  die "the window \"$title\" appeared"
}
echo "ok:     the window \"$title\" appeared after $(($(date +%s) - started)) s"
sleep 2
find_client || die "finding the window's client area"
shot windows-gui.png

# The saved port is selected only when the list holds it; opening the list
# shows it with the other ports.
click 180 23
shot windows-gui-ports.png
xdotool key Escape
sleep 0.5

check "$sim_port opens" port_opens
check "p.v sent through the window is answered: \"1. p.v 23.5\"" answered p.v "1. p.v 23.5"

# The program carries on: both monitors open from their check boxes, the
# panel monitor first.
click 66 85
check "the panel monitor window opens" wait_windows K4410R_MonitorForm 1 15

# The trend, drawn by the program itself: Trend of All Panels..., the last
# item of a panel's menu, opens it; Save Image As... (Alt+S) saves the plot,
# where the line's colour must show away from the value axis on the left,
# which has that colour too. First the trend of real polls, made while the
# panel monitor polls the simulator's p.v alone for a few seconds: while
# both monitors poll, their exchanges keep the window so busy that the menu
# comes after the keys meant for it.
sleep 5
# in_dialog <title> <path>: the file dialog of that title takes the path,
# in place of the name it offers (the last one saved, once there was one:
# Wine's edit box takes no Ctrl+A).
in_dialog() {
  wait_windows "$1" 1 20 || {
    echo "        no dialog \"$1\" came"
    return 1
  }
  sleep 1
  xdotool key End shift+Home
  xdotool type --delay 20 "$(windows_path "$2")"
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
# line_saved <trend window> <screenshot> <part> <pixels>: Save Image As...
# saves a PNG whose part (the middle, or the newest end, where ten minutes
# of the plot hold the last seconds' polls) holds at least that many pixels
# of the line's colour; a copy goes beside the zip.
line_saved() {
  local image=$work/$2 count crop
  case $3 in
    middle) crop=(-gravity center -crop 50%x50%+0+0) ;;
    newest) crop=(-gravity east -crop 25%x100%+0+0) ;;
  esac
  in_trend "$1" alt+s && in_dialog "Save Image As" "$image" || return 1
  local deadline=$((SECONDS + 20))
  until [ -s "$image" ]; do
    [ $SECONDS -lt $deadline ] || {
      echo "        no $image"
      shot "windows-gui-unsaved-$2"
      return 1
    }
    sleep 0.5
  done
  sleep 1
  cp "$image" "$out/$2"
  count=$(convert "$image" "${crop[@]}" +repage txt:- | grep -ci '#1F77B4')
  echo "        $count pixels of the line's colour #1F77B4 at the plot's $3 part"
  [ "$count" -ge "$4" ]
}
check "Trend of All Panels... opens the trend of p.v" trend_opens
sleep 1
shot windows-gui-trend-polls.png
check "Save Image As... saves the polls of p.v as a PNG with the line in its colour" \
  line_saved "Trend p.v" windows-gui-trend-polls-saved.png newest 5

click 146 85
check "the two-value monitor window opens" wait_windows TestVM806D_LX_MonitorForm 1 15
sleep 1
shot windows-gui-monitors.png

# Then a recording: with the port closed, Open Recording... (Alt+O) shows
# the readings file that comes with this check.
click 345 23
cp tests/windows-gui/recording.csv "$work/recording.csv"
recording_opens() {
  in_trend "Trend p.v" alt+o && in_dialog "Open Recording" "$work/recording.csv" &&
    wait_windows "Trend p.v - recording.csv" 1 20
}
check "Open Recording... shows the readings file" recording_opens
sleep 1
shot windows-gui-trend.png
check "Save Image As... saves a PNG with the line in its colour" \
  line_saved "Trend p.v - recording.csv" windows-gui-trend-saved.png middle 50

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

finish "zip $(du -k "$zip" | cut -f1) KB, screenshots $out/windows-gui*.png"
