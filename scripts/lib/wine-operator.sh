# shellcheck shell=bash
# shellcheck disable=SC2154 # work, out, title and app_pid are the sourcing script's
# The main window under Wine and Xvfb, driven as an operator would: clicks
# at points of its client area, text typed into Message, the log read back
# through the clipboard. Sourced after wine-window.sh, with title (the
# window's caption), work (a temporary folder), out (where screenshots go,
# named $shots-<what>.png) and app_pid (the program's process) set.
#
# build_wintext: $work/wintext.exe, a small Windows program that reads what
#   the checks cannot see through X: the clipboard and where a window's
#   client area lies.
# wintext <arguments...>: its answer, without Windows' line ends.
# shot <name>: a screenshot of the whole screen as $out/<name>.
# find_client: origin_x and origin_y, the screen position of the main
#   window's client area, on which click's points are based.
# click <x> <y>: at that point of the main window's client area.
# port_opens: Open opens the selected port: no error box comes (one that
#   does is dismissed, so that the checks after it can go on).
# log_text: the main window's log, as Ctrl+A and Ctrl+C there copy it.
# answered <message> <first log line>: typed into Message and sent with
#   Enter, the message's answer shows in the log within 10 s.
shots=${shots:-windows-gui}

build_wintext() {
  x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -static -o "$work/wintext.exe" tests/windows-gui/WinText.cpp
}

wintext() { wine "$work/wintext.exe" "$@" 2>/dev/null </dev/null | tr -d '\r'; }

shot() { import -window root "$out/$1" 2>/dev/null && echo "        screenshot: $out/$1"; }

find_client() { read -r origin_x origin_y < <(wintext client "$title"); }

click() {
  xdotool mousemove $((origin_x + $1)) $((origin_y + $2)) click 1
  sleep 0.5
}

port_opens() {
  click 345 23
  sleep 3
  kill -0 "$app_pid" 2>/dev/null && [ "$(windows_named "$title" | wc -l)" -eq 1 ] && return 0
  echo "        an error box came, or the program ended"
  shot "$shots-error.png"
  xdotool key Return
  return 1
}

log_text() {
  click 150 200
  xdotool key ctrl+a ctrl+c
  sleep 0.5
  wintext clipboard | tr -d '\r'
}

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
  shot "$shots-answer.png"
}
