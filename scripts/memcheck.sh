#!/usr/bin/env bash
# Runs a scripted session of the program under valgrind's memcheck: open the
# port, send, show and change both monitors, play a file, repeat, close the
# port and the program (the probe plugin plays the operator, against the
# steady simulator). Prints "memcheck_errors=<N> definitely_lost=<N>
# indirectly_lost=<N> possibly_lost=<N>" (bytes) and fails on any error or
# definite or indirect leak.
#
# usage: scripts/memcheck.sh [build dir (default build/default)]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/session.sh

build=${1:-build/default}
scripts/install-deps.sh build
command -v valgrind >/dev/null || { echo "valgrind is missing: scripts/install-deps.sh test installs it" >&2; exit 1; }
build_programs "$build" marrowlink k4410r-sim marrowlink_probe >/dev/null

on_session_end() {
  [[ -z ${MEMCHECK_KEEP:-} ]] || cp "$work/memcheck.log" "$MEMCHECK_KEEP"
}
start_session "$build"
start_probe "$build" mission=session port=COM1 warmup=0
printf 'p.v\r\nF0\r\n\r\nunknown\n' >"$probe/playback.txt"

start_simulator "$sim" "$work/sim.log" --steady --port 1

status=0
# Code that the regular-expression engine compiles at run time (the file
# dialog's name filters) reads memory in ways memcheck cannot follow.
QT_ENABLE_REGEXP_JIT=0 timeout 900 valgrind --tool=memcheck --leak-check=full \
  --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect \
  --suppressions=scripts/memcheck.supp --error-exitcode=99 --num-callers=30 --keep-debuginfo=yes --track-origins=yes --log-file="$work/memcheck.log" \
  "$program" >"$work/app.log" 2>&1 || status=$?

stop_simulator

summary() { sed -n "s/.*$1: *\([0-9,]*\) bytes.*/\1/p" "$work/memcheck.log" | tail -n 1 | tr -d ,; }
errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9,]*\) errors.*/\1/p' "$work/memcheck.log" | tail -n 1 | tr -d ,)
definite=$(summary "definitely lost")
indirect=$(summary "indirectly lost")
possible=$(summary "possibly lost")
[[ $(probe_value "done") == 1 ]] || { echo "the scripted session did not finish" >&2; status=1; }
[[ $(probe_value send_answered) == 1 ]] || { echo "the sends were not answered" >&2; status=1; }
if [[ $status -ne 0 ]]; then
  grep -E -A 25 "(Invalid|uninitialised|definitely lost in|indirectly lost in)" "$work/memcheck.log" | head -n 120 >&2 || true
fi
# Blocks reached only through a pointer into their middle: where they were
# allocated tells whether a library or the program holds them.
if [[ ${possible:-0} -ne 0 ]]; then
  grep -A 30 "possibly lost in" "$work/memcheck.log" | head -n 120 >&2 || true
fi
echo "exchanges=$(sed -n 's/.*requests=\([0-9]*\).*/\1/p' "$work/sim.log" | tail -n 1)" \
  "errors_shown=$(probe_value errors_shown)"
suppressed=$(summary "suppressed")
if [[ ${suppressed:-0} -ne 0 ]]; then
  echo "suppressed=$suppressed bytes left by Qt's threads at exit (see scripts/memcheck.supp)"
fi
echo "memcheck_errors=${errors:-?} definitely_lost=${definite:-0} indirectly_lost=${indirect:-0}" \
  "possibly_lost=${possible:-0}"
exit "$status"
