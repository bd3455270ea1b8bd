# shellcheck shell=bash
# The one way the scripts start an X server: a private Xvfb on a display it
# picks itself, with DISPLAY exported. Sourced.
#
# start_xvfb <WxHxD>: sets xvfb_pid; fails when no server comes up in 10 s.
# stop_xvfb: ends it and waits, so a server going away cannot remove the
# socket of the next one on the same display.
source scripts/lib/background.sh

start_xvfb() {
  local size=$1 ready
  command -v Xvfb >/dev/null || {
    echo "Xvfb is missing: scripts/install-deps.sh run installs it" >&2
    return 1
  }
  # The server takes the first display free on this machine (lock file and
  # socket alike) and writes its number once it accepts clients, which
  # neither a guessed number nor polling could promise.
  ready=$(mktemp "${TMPDIR:-/tmp}/marrowlink-xvfb-XXXXXX")
  Xvfb -displayfd 9 -screen 0 "$size" -nolisten tcp 9>"$ready" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 200); do
    if [[ $(wc -l <"$ready") -ge 1 ]]; then
      DISPLAY=:$(head -n 1 "$ready")
      export DISPLAY
      rm -f "$ready"
      return 0
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$ready"
  stop_xvfb
  echo "no Xvfb display could be started" >&2
  return 1
}

stop_xvfb() {
  stop_background "${xvfb_pid:-}"
  xvfb_pid=""
}
