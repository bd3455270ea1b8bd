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

scripts/install-deps.sh windows

jobs=$(nproc)
scripts/windows/build-mosquitto.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"

work=$(mktemp -d "${TMPDIR:-/tmp}/marrowlink-wine-XXXXXX")
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko prompt on the first run, and no window anywhere.
export WINEDLLOVERRIDES="mscoree,mshtml="
export XDG_CONFIG_HOME="$work/xdg"
unset DISPLAY WAYLAND_DISPLAY
# shellcheck source=scripts/lib/wine-sim.sh
source scripts/lib/wine-sim.sh

cleanup() {
  stop_simulator
  wineserver -k >/dev/null 2>&1 </dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
build_wine_sim

# Wine itself maps the machine's ttyS ports to the low COM numbers; the
# simulator takes one far above them.
sim_port=COM9
sim_behind_port "$sim_port" "$work/sim.log"

MARROWLINK_SIM_PORT="$sim_port" ctest --preset mingw --timeout 120
scripts/windows/test-cli.sh build/mingw/bin/marrowlink-cli.exe "$sim_port" "$sim_pty"
