#!/usr/bin/env bash
# Cross-builds the layers below the GUI, marrowlink-cli.exe (with its MQTT
# library, scripts/windows/build-mosquitto.sh) and their tests as Windows x64
# executables (MinGW-w64) and runs them under Wine, headless, in a fresh
# temporary prefix. The end-to-end tests and scripts/windows/test-cli.sh talk
# to the simulated instrument, built natively, through a COM port that Wine
# maps to its pseudo-terminal, whose modem lines answer through a library
# preloaded into Wine (tools/wine-modem).
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib/simulator.sh

scripts/install-deps.sh windows

jobs=$(nproc)
scripts/windows/build-mosquitto.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"

sim_build=build/mingw-sim
cmake -S . -B "$sim_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DMARROWLINK_GUI=OFF -DMARROWLINK_TESTS=OFF >/dev/null
cmake --build "$sim_build" --target k4410r-sim marrowlink_wine_modem -j "$jobs"
# A pseudo-terminal has no modem lines, so Wine refuses RTS on it (error
# 50); preloaded into Wine, this library keeps them, so that RTS keys each
# exchange with the simulator as on a real port. Other requests pass through.
export LD_PRELOAD=$PWD/$sim_build/bin/libmarrowlink_wine_modem.so

work=$(mktemp -d "${TMPDIR:-/tmp}/marrowlink-wine-XXXXXX")
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko prompt on the first run, and no window anywhere.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

cleanup() {
  stop_simulator
  wineserver -k >/dev/null 2>&1 </dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Wine itself maps the machine's ttyS ports to the low COM numbers; the
# simulator takes one far above them.
sim_port=COM9
XDG_CONFIG_HOME="$work/xdg" start_simulator "$sim_build/bin/k4410r-sim" "$work/sim.log" \
  --steady --port "${sim_port#COM}"
link="$work/xdg/marrowlink/dosdevices/com${sim_port#COM}"

# wineserver and Wine's start-up services keep their output pipes open:
# ctest would wait on them, so they start before it, attached to nothing.
start_wine() {
  mkdir -p "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}
start_wine
# Wine's device manager reads its port table only when it starts.
wine reg add 'HKLM\Software\Wine\Ports' /v "$sim_port" /d "$(readlink "$link")" /f \
  >/dev/null 2>&1 </dev/null
wineserver -k >/dev/null 2>&1 </dev/null || true
wineserver -w >/dev/null 2>&1 </dev/null || true
start_wine

MARROWLINK_SIM_PORT="$sim_port" ctest --preset mingw --timeout 120
scripts/windows/test-cli.sh build/mingw/bin/marrowlink-cli.exe "$sim_port" "$(readlink "$link")"
