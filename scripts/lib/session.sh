# shellcheck shell=bash
# The set-up of a scripted session of the program under Xvfb against the
# simulator. Sourced after simulator.sh and xvfb.sh.
#
# start_session <build dir>: builds the release preset when that is the
# folder and it has no program yet; sets program and sim to the build's
# programs and work to a temporary folder, with XDG_CONFIG_HOME inside it.
# At exit the simulator and the X server stop and the folder goes.
start_session() {
  local build=$1
  scripts/install-deps.sh
  if [[ ! -x $build/bin/marrowlink && $build == build/release ]]; then
    cmake --preset release >/dev/null
    cmake --build --preset release -j "$(nproc)"
  fi
  program=$(realpath "$build/bin/marrowlink")
  sim=$(realpath "$build/bin/k4410r-sim")
  work=$(mktemp -d)
  trap end_session EXIT
  trap 'exit 1' INT TERM
  export XDG_CONFIG_HOME=$work/config
}

end_session() {
  stop_simulator
  stop_xvfb
  rm -rf "$work"
}
