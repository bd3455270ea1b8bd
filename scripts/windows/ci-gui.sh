#!/usr/bin/env bash
# CI's Windows GUI step: cross-builds the whole program against the cached
# Windows Qt, makes the zip and the installer and checks both under Wine.
# Without the cached Qt it builds Qt first, but only if the whole CI run
# still ends within its time budget; otherwise it skips the check, loudly.
#
#   scripts/windows/ci-gui.sh [seconds the CI run has taken so far]
#
# MARROWLINK_CI_BUDGET_MINUTES (75) is the budget of the whole run;
# MARROWLINK_QT_BUILD_MINUTES (38) what a Qt build takes on this machine.
set -euo pipefail
cd "$(dirname "$0")/../.."

elapsed=${1:-0}
budget=$((${MARROWLINK_CI_BUDGET_MINUTES:-75} * 60))
qt_build=$((${MARROWLINK_QT_BUILD_MINUTES:-38} * 60))
# Building the program, the zip and the installer, and their checks.
after_qt=$((6 * 60))

scripts/install-deps.sh windows-gui
qt=$(scripts/windows/build-qt.sh --print-dir)
if [ ! -f "$qt/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ]; then
  expected=$((elapsed + qt_build + after_qt))
  if [ "$expected" -gt "$budget" ]; then
    cat <<EOF
##############################################################################
## SKIPPED: the Windows GUI check did NOT run.
## No cached Windows Qt in $qt, and building it
## (about $((qt_build / 60)) min) would end this CI run after about $((expected / 60)) min,
## beyond its budget of $((budget / 60)) min. Run scripts/windows/build-qt.sh once
## on this machine; later CI runs then use its cache.
##############################################################################
EOF
    exit 0
  fi
  echo "No cached Windows Qt: building it (CI then ends after about $((expected / 60)) of $((budget / 60)) min)."
  scripts/windows/build-qt.sh
fi

# marrowlink-cli.exe's MQTT library: 2 s cached, about a minute when not.
scripts/windows/build-mosquitto.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
scripts/windows/package.sh build/windows
scripts/windows/test-gui.sh build/windows/marrowlink-3.2-windows-x64.zip
scripts/windows/test-msi.sh build/windows/marrowlink-3.2-windows-x64.msi
