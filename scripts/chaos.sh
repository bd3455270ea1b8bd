#!/usr/bin/env bash
# Chaos run: the program, built with the address and undefined-behaviour
# sanitizers, polls ten monitor panels and the two-value monitor against a
# simulated instrument that misbehaves at random (silence, garbage, NUL
# bytes, 64 KB answers, split and late answers, the port vanishing and coming
# back). A scripted operator inside the program (the probe plugin) answers
# the error boxes and reopens the port now and then. At the end the
# instrument calms down, the operator sends once more and closes the program.
#
# usage: scripts/chaos.sh [seconds (default 600)] [build dir (default build/sanitize)] [seed]
# Prints "exchanges=<N> errors_shown=<N> rss_start_kb=<N> rss_end_kb=<N>
# fds_start=<N> fds_end=<N>" and fails when memory or descriptors grew, the
# last send went unanswered, a sanitizer spoke, or the settings file does not
# hold all 34 values after the orderly close.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/session.sh

seconds=${1:-600}
build=${2:-build/sanitize}
seed=${3:-$RANDOM}
# Resident memory may settle up to this much above the first sample.
rss_slack_kb=${CHAOS_RSS_SLACK_KB:-16384}

scripts/install-deps.sh build
build_programs "$build" marrowlink k4410r-sim marrowlink_probe >/dev/null
start_session "$build"

# Open COM1 at start and show the panel monitor with ten panels.
commands=(p.v s.p o.p F0 p.v s.p o.p p.v unknown p.v)
panels=()
for i in $(seq 0 9); do
  panels+=("Monitor Panel$i Command=${commands[$i]}")
done
write_settings Port=COM1 Open=dword:1 Monitor=dword:1 "Monitor Panels=dword:a" "${panels[@]}"
start_probe "$build" mission=chaos warmup=$((seconds / 5 > 20 ? seconds / 5 : 20))

start_simulator "$sim" "$work/sim.log" --chaos --seed "$seed" --port 1 --record "$work/wire"

# A small quarantine keeps the sanitizer's own bookkeeping from looking like
# growth; use-after-free is still caught for recent frees.
ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=4:detect_leaks=1} \
  "$program" >"$work/app.log" 2>&1 &
app_pid=$!

for _ in $(seq "$seconds"); do
  sleep 1
  kill -0 "$app_pid" 2>/dev/null || break
done
status=0
if kill -0 "$app_pid" 2>/dev/null; then
  kill -USR1 "$sim_pid"
  sleep 2
  touch "$probe/finish"
  for _ in $(seq 120); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.5
  done
  if kill -0 "$app_pid" 2>/dev/null; then
    echo "the program did not close within 60 s of being asked" >&2
    status=1
  fi
fi
app_status=0
wait "$app_pid" || app_status=$?
app_pid=""
stop_simulator

exchanges=$(sed -n 's/.*requests=\([0-9]*\).*/\1/p' "$work/sim.log" | tail -n 1)
errors=$(probe_value errors_shown)
rss_start=$(probe_value rss_start_kb)
rss_end=$(probe_value rss_end_kb)
fds_start=$(probe_value fds_start)
fds_end=$(probe_value fds_end)
# The values of the program's own key; its subkeys hold settings of their own.
saved=$(awk '/^\[/ { own = ($0 ~ /Marrowlink\]\r?$/) } own && /^"/ { n++ } END { print n + 0 }' \
  "$XDG_CONFIG_HOME/marrowlink/user.reg" 2>/dev/null || true)

echo "seed=$seed seconds=$seconds reopens=$(probe_value reopens) last_send_ms=$(probe_value send_ms)"
grep 'requests=' "$work/sim.log" || true
if [[ -s $probe/errors.txt ]]; then
  echo "error boxes by message:"
  sed -E 's/[0-9]+/N/g' "$probe/errors.txt" | sort | uniq -c | sort -rn | head -n 10
fi
echo "exchanges=${exchanges:-0} errors_shown=${errors:-0} rss_start_kb=${rss_start:--1}" \
  "rss_end_kb=${rss_end:--1} fds_start=${fds_start:--1} fds_end=${fds_end:--1}"

fail() {
  echo "FAIL: $*" >&2
  status=1
}
[[ $app_status -eq 0 ]] || fail "the program ended with status $app_status"
if grep -qE "ERROR: (Address|Leak)Sanitizer|runtime error:" "$work/app.log"; then
  fail "the sanitizers reported:"
  grep -m 20 -A 12 -E "ERROR: (Address|Leak)Sanitizer|runtime error:" "$work/app.log" >&2
fi
[[ $(probe_value "done") == 1 ]] || fail "the scripted operator did not finish"
[[ -n $rss_start && -n $rss_end && $rss_end -le $((rss_start + rss_slack_kb)) ]] ||
  fail "resident memory grew from ${rss_start} kB to ${rss_end} kB"
[[ -n $fds_start && -n $fds_end && $fds_end -le $fds_start ]] ||
  fail "open descriptors grew from ${fds_start} to ${fds_end}"
[[ $(probe_value send_answered) == 1 ]] || fail "the last send was not answered"
[[ $saved -eq 34 ]] || fail "the settings file holds $saved values, not 34"
exit "$status"
