#!/usr/bin/env bash
# Installs the Debian packages the scripts need, asking apt only for what is
# missing. Uses sudo only when not root. Installs without recommendations,
# so every package a script needs is named here, even when another package
# merely recommends it.
#
# usage: scripts/install-deps.sh [build|run|test|package|windows|windows-gui|fresh]...
#   build: the compiler, CMake and Qt, which every group includes
#   run (the default): build in Release and run under Xvfb (scripts/run.sh)
#   test: everything scripts/test.sh needs, the three below included
#   package: build, install and try the .deb (scripts/package.sh)
#   windows: cross-build and run under Wine (scripts/windows/test.sh)
#   windows-gui: build Qt for Windows, the zip and the installer, and try
#     them under Wine and Xvfb (scripts/windows/build-qt.sh, package.sh,
#     msi.sh, test-gui.sh, test-msi.sh)
#   fresh: make a clean Debian root to run the README's commands in
#     (scripts/fresh-machine.sh)
set -euo pipefail

# CLI11 (header-only) and libmosquitto for marrowlink-cli. The window needs
# Qt's base alone: the trend is drawn by the program itself.
build=(cmake ninja-build g++ qt6-base-dev libcli11-dev libmosquitto-dev)
run=(xvfb imagemagick xdotool)
# clang's sanitizer and fuzzer runtimes are only a recommendation of clang.
# The command-line program's tests start a broker, subscribe to it and read
# its CSV back with Python's csv module; they write its line protocol into
# an InfluxDB server of their own with curl, as the README shows. The
# German-locale test makes its locale with localedef from the character
# maps of locales.
tests=(libgtest-dev clang libclang-rt-14-dev clang-tidy valgrind mosquitto mosquitto-clients python3
  locales influxdb curl)
# CPack asks dpkg-shlibdeps for the dependencies and file for what to ask
# about; lintian checks the .deb as Debian would.
package=(dpkg-dev file desktop-file-utils lintian)
# The sources of libmosquitto and Qt come with apt-get source, which unpacks
# with dpkg-source; the Windows command-line program's check publishes to a
# broker and reads the readings back.
windows=(googletest g++-mingw-w64-x86-64-posix wine wine64 dpkg-dev mosquitto mosquitto-clients)
# wixl builds the installer.
windows_gui=(zip unzip wixl)
fresh=(debootstrap)

packages=("${build[@]}")
[[ $# -gt 0 ]] || set -- run
for group in "$@"; do
  case $group in
    build) ;;
    run) packages+=("${run[@]}") ;;
    test) packages+=("${run[@]}" "${tests[@]}" "${package[@]}" "${windows[@]}") ;;
    package) packages+=("${run[@]}" "${package[@]}") ;;
    windows) packages+=("${windows[@]}") ;;
    windows-gui) packages+=("${run[@]}" "${windows[@]}" "${windows_gui[@]}") ;;
    fresh) packages+=("${fresh[@]}") ;;
    *)
      echo "usage: $0 [build|run|test|package|windows|windows-gui|fresh]..." >&2
      exit 2
      ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
