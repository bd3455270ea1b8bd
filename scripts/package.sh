#!/usr/bin/env bash
# Builds the .deb, installs it on this machine (apt-get, sudo only when not
# root), checks the licence of every library the installed programs and Qt's
# platform plugin load against packaging/libraries.txt (a package not listed
# there, or one under the GPL alone, fails, named), and proves the installed
# program works: under Xvfb, /usr/bin/marrowlink
# loads its device-installation library from its folder under /usr/lib, opens the
# port of the installed simulator, sends p.v through the window and gets it
# answered. The package stays installed (`apt-get remove marrowlink` removes
# it); with --remove it is removed again at the end unless it was installed
# before, which is how the test script runs this.
#
# usage: scripts/package.sh [--remove] [build dir (default build/release)]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/session.sh
source scripts/lib/licences.sh

remove=false
if [[ ${1:-} == --remove ]]; then
  remove=true
  shift
fi
build=${1:-build/release}
scripts/install-deps.sh package
build_programs "$build" package
deb=$(find "$build" -maxdepth 1 -name 'marrowlink_*.deb' -printf '%T@ %p\n' | sort -n | tail -1 | cut -d' ' -f2-)

# Debian's own checker: an error fails, warnings show.
lintian_status=0
findings=$(lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1) || lintian_status=$?
findings=$(grep -v '^running with root privileges' <<<"$findings" || true)
echo "lintian $deb: ${findings:-clean}"
[[ $lintian_status -eq 0 ]] || { echo "lintian found errors in $deb" >&2; exit 1; }

sudo=""
[[ $(id -u) -eq 0 ]] || sudo=sudo
if dpkg-query -W -f='${Status}' marrowlink 2>/dev/null | grep -q "install ok installed"; then
  remove=false
fi
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall \
  --no-install-recommends "$(realpath "$deb")" >/dev/null
echo "Installed $deb:"
dpkg-query -L marrowlink | grep -E '/(bin|marrowlink|applications|apps|man1)/'
desktop-file-validate /usr/share/applications/marrowlink.desktop

# What ships links nothing under the GPL alone: the program is not GPL.
plugin=$(dpkg-query -S '*/qt6/plugins/platforms/libqxcb.so' | head -n 1 | sed 's/^[^ ]* //')
mapfile -t installed < <(dpkg-query -L marrowlink | grep -E '^/usr/bin/|\.so$')
echo "Libraries the installed programs and $plugin load, by package and licence:"
check_licences packaging/libraries.txt "${installed[@]}" "$plugin" ||
  { echo "a library the installed programs load is not cleared in packaging/libraries.txt" >&2; exit 1; }

on_session_end() {
  if $remove; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq marrowlink >/dev/null
  fi
}
start_session
program=/usr/bin/marrowlink
start_simulator /usr/bin/k4410r-sim "$work/sim.log" --steady --record "$work/wire"
# The port opens at start.
write_settings "Port=$sim_port" Open=dword:1

screenshot=$(realpath -m "$build/package.png")
start_xvfb 800x600x24
send_through_window "$screenshot" env LD_DEBUG=files

failed=0
if ! grep -q 'file=/usr/\(bin/\.\./\)\?lib/\([^/]*/\)\?marrowlink/libSetupApi.so .*dynamically loaded by /usr/bin/marrowlink' \
  "$work/app.log"; then
  echo "the installed program did not load libSetupApi.so from its folder under /usr/lib" >&2
  failed=1
fi
if ! grep -q 'p\.v' "$work/wire" 2>/dev/null; then
  echo "p.v never reached the simulated instrument" >&2
  failed=1
fi
# The command-line program from the same package, on the same port.
value=$(/usr/bin/marrowlink-cli send --value "$sim_port" p.v 2>"$work/cli.log") || true
if [[ $value != "23.5" ]]; then
  echo "the installed marrowlink-cli answered '$value' to p.v, not 23.5:" >&2
  cat "$work/cli.log" >&2
  failed=1
fi
[[ $failed -eq 0 ]] || exit 1
echo "The installed marrowlink and marrowlink-cli sent p.v to $sim_port; the window: $screenshot"
