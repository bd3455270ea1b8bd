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

# shellcheck source=scripts/lib/wine-sim.sh
source scripts/lib/wine-sim.sh
start_wine_check wine
# No window anywhere.
unset DISPLAY WAYLAND_DISPLAY

# Wine itself maps the machine's ttyS ports to the low COM numbers; the
# simulator takes one far above them.
sim_port=COM9
sim_behind_port "$sim_port" "$work/sim.log"

MARROWLINK_SIM_PORT="$sim_port" ctest --preset mingw --timeout 120
scripts/windows/test-cli.sh build/mingw/bin/marrowlink-cli.exe "$sim_port" "$sim_pty"
