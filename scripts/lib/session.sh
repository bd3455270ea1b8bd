# shellcheck shell=bash
# A scripted session of the program: its build, one temporary folder that
# holds the session's settings and data, one trap that ends all the session
# started, and the main window driven with xdotool under Xvfb or the probe
# plugin playing the operator. Sourced by the entry scripts, which run from
# the repository's top folder; it brings simulator.sh, settings.sh and
# xvfb.sh with it.
#
# build_programs <build dir> [target...]: builds the targets (everything
#   when none is named); a folder build/<preset> with no build yet is
#   configured with that preset first.
# start_session [--user-settings] [build dir]: makes the folder ($work)
#   and points XDG_CONFIG_HOME and XDG_DATA_HOME into it, unless told to
#   keep the user's own; sets program and sim to the build's programs. At
#   exit the process in app_pid is killed, the simulator and the X server
#   stop, on_session_end runs when the script defines it, and the folder
#   goes.
# start_screenshot_session <default png> [png] [build dir]: the first steps
#   of a screenshot script that takes those two arguments: $output (the
#   png's full path, its folder made) and $build (build/release when not
#   given) set, the packages, the window and the simulator built, a session
#   started.
# window_session [launcher...] <steps: starts $program (behind the
#   launcher's words) on the X server, waits for the main window, whose id
#   is then in $window, runs the bash steps read from standard input and
#   ends the program with SIGTERM. A step `send TEXT` types TEXT into the
#   message box and sends it. Fails, showing the program's output, when a
#   step or the program fails.
# send_through_window [--open] <png> [launcher...]: the session that proves
#   a build works: presses Open when told, sends p.v and takes the window's
#   picture.
# start_probe <build dir> <name=value>...: $probe, the probe plugin's
#   folder with those lines as its probe.conf, and the environment that
#   loads the plugin into the program on Qt's offscreen platform (unless
#   QT_QPA_PLATFORM names another).
# probe_value <name>: the last value the probe wrote for that name.
source scripts/lib/simulator.sh
source scripts/lib/settings.sh
source scripts/lib/xvfb.sh

title='K4410R Diroridodevo 3.2'

build_programs() {
  local build=$1 targets=()
  shift
  (($# == 0)) || targets=(--target "$@")
  if [[ ! -f $build/CMakeCache.txt ]]; then
    [[ $build == build/* ]] || {
      echo "no build in $build" >&2
      return 1
    }
    cmake --preset "${build#build/}" >/dev/null
  fi
  cmake --build "$build" -j "$(nproc)" "${targets[@]}"
}

start_session() {
  local own=true
  if [[ ${1:-} == --user-settings ]]; then
    own=false
    shift
  fi
  work=$(mktemp -d "${TMPDIR:-/tmp}/marrowlink-$(basename "$0" .sh)-XXXXXX")
  trap end_session EXIT
  trap 'exit 1' INT TERM
  if $own; then
    export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
  fi
  if [[ -n ${1:-} ]]; then
    program=$(realpath "$1/bin/marrowlink")
    # shellcheck disable=SC2034 # for the scripts' start_simulator
    sim=$(realpath "$1/bin/k4410r-sim")
  fi
}

start_screenshot_session() {
  output=$(realpath -m "${2:-$1}")
  build=${3:-build/release}
  mkdir -p "$(dirname "$output")"
  scripts/install-deps.sh
  build_programs "$build" marrowlink k4410r-sim
  start_session "$build"
}

end_session() {
  if [[ -n ${app_pid:-} ]]; then
    kill -KILL "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  stop_simulator
  stop_xvfb
  if declare -F on_session_end >/dev/null; then
    on_session_end || true
  fi
  rm -rf "$work"
}

# Without a window manager every window opens where it is placed and keeps
# no frame, so client positions are screen positions.
window_session() {
  {
    cat <<EOS
set -euo pipefail
export QT_QPA_PLATFORM=xcb
send() {
  xdotool mousemove 180 60 click 1 key ctrl+a
  xdotool type --delay 40 "\$1"
  xdotool key Return
}
$* "$program" >"$work/app.log" 2>&1 &
app=\$!
window=\$(xdotool search --sync --name '^$title\$' | head -1)
EOS
    cat
    cat <<'EOS'
kill -TERM $app
wait $app
EOS
  } >"$work/window-session.sh"
  bash "$work/window-session.sh" && return 0
  # The lines LD_DEBUG adds start with the process id.
  grep -v '^ *[0-9]*:' "$work/app.log" >&2 || true
  return 1
}

send_through_window() {
  local open=""
  if [[ $1 == --open ]]; then
    # The Open button, right of the port selector.
    open=$'xdotool mousemove 345 23 click 1\nsleep 0.5'
    shift
  fi
  local png=$1
  shift
  window_session "$@" <<EOS
sleep 1
$open
send p.v
sleep 1.5
import -window "\$window" "$png"
EOS
}

start_probe() {
  local build=$1
  shift
  probe=$work/probe
  mkdir -p "$XDG_CONFIG_HOME/marrowlink" "$probe"
  printf '%s\n' "$@" >"$probe/probe.conf"
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
  export QT_PLUGIN_PATH=$build/plugins QT_QPA_GENERIC_PLUGINS=marrowlinkprobe:$probe
}

probe_value() {
  sed -n "s/^$1=//p" "$probe/probe.out" 2>/dev/null | tail -n 1 || true
}
