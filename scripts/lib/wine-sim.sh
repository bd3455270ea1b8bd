# shellcheck shell=bash
# The simulator behind a COM port of a fresh Wine prefix, its modem lines
# kept for Wine: the steps every Windows check under Wine starts with.
# Sourced; it brings simulator.sh with it.
#
# start_wine_check <name>: $work, a temporary folder that goes at exit, with
#   the fresh prefix (WINEPREFIX) and the simulator's XDG_CONFIG_HOME in it,
#   and build_wine_sim done. At exit (or INT, TERM) the process in app_pid,
#   the broker and the X server (when their scripts are sourced), the
#   simulator and Wine's server end.
# build_wine_sim: builds the native simulator and tools/wine-modem in
#   build/mingw-sim (sim_build) and preloads the library into every Wine
#   process started after it. A pseudo-terminal has no modem lines, so Wine
#   refuses RTS on it (error 50); the library keeps them, so that RTS keys
#   each exchange with the simulator as on a real port. Other requests pass
#   through.
# start_wine: starts the prefix's wineserver and services, attached to
#   nothing (ctest and $(...) would otherwise wait on their output pipes).
# wine_quiet <command...>: a Wine command with no output.
# sim_behind_port <COMn> <log file>: starts the simulator on that port
#   (sim_pty: its pseudo-terminal) and maps the port to it in Wine, whose
#   device manager reads its port table only when it starts.
source scripts/lib/simulator.sh

start_wine_check() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/marrowlink-$1-XXXXXX")
  app_pid=""
  export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
  # No Mono or Gecko prompt on the first run, and no menu entries on this
  # machine for a Start-menu entry the installer makes.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export XDG_CONFIG_HOME="$work/xdg"
  trap end_wine_check EXIT
  trap 'exit 1' INT TERM
  build_wine_sim
}

end_wine_check() {
  [[ -z $app_pid ]] || kill "$app_pid" 2>/dev/null || true
  if declare -F stop_broker >/dev/null; then stop_broker; fi
  stop_simulator
  wineserver -k >/dev/null 2>&1 </dev/null || true
  if declare -F stop_xvfb >/dev/null; then stop_xvfb; fi
  rm -rf "$work"
}

build_wine_sim() {
  sim_build=build/mingw-sim
  cmake -S . -B "$sim_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DMARROWLINK_GUI=OFF -DMARROWLINK_TESTS=OFF >/dev/null
  cmake --build "$sim_build" --target k4410r-sim marrowlink_wine_modem -j "$(nproc)" >/dev/null
  export LD_PRELOAD=$PWD/$sim_build/bin/libmarrowlink_wine_modem.so
}

wine_quiet() { wine "$@" >/dev/null 2>&1 </dev/null; }

start_wine() {
  mkdir -p "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1 </dev/null
  wine_quiet cmd /c exit
}

sim_behind_port() {
  local port=$1 log=$2
  start_simulator "$sim_build/bin/k4410r-sim" "$log" --steady --port "${port#COM}" || return 1
  sim_pty=$(readlink "$XDG_CONFIG_HOME/marrowlink/dosdevices/${port,,}") || {
    echo "no port link of the simulator for $port" >&2
    return 1
  }
  [ -d "$WINEPREFIX" ] || start_wine
  wine_quiet reg add 'HKLM\Software\Wine\Ports' /v "$port" /d "$sim_pty" /f || return 1
  wineserver -k >/dev/null 2>&1 </dev/null || true
  wineserver -w >/dev/null 2>&1 </dev/null || true
  start_wine
}
