#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run script need,
# asking apt only for what is missing, and any packages named as arguments.
# Uses sudo only when not root.
set -euo pipefail

packages=(cmake ninja-build g++ clang libgtest-dev qt6-base-dev xvfb xauth imagemagick valgrind xdotool "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
