#!/usr/bin/env bash
# Measures marrowlink's start-up against the floor: a bare Qt window with the
# main window's kinds of controls (bench/startup-floor), started alternately
# with the program under one Xvfb. Each start is timed until its window is
# mapped; in the memory rounds its resident memory is the largest seen in the
# 3 s after that, in the other rounds it is ended at once, so that many starts
# fit in a short run (on a busy machine single starts scatter widely).
#
# Two cases of marrowlink, each against the same floor runs:
#   first-run  an empty settings folder
#   returning  a saved port that opens at start and repeats "p.v" once a
#              second against the simulated instrument
#
# Prints one line per case with medians (of window time, resident memory, and
# processor time used by the time the window was seen mapped, which a busy
# machine moves less than the window time) and their ratios to the floor,
# then a last line in the form
#   window_ms=<N> floor_ms=<N> ratio=<N> rss_kb=<N> floor_rss_kb=<N>
# holding the worse case's time and the worse case's memory (either may come
# from either case; the lines above say which).
#
# usage: scripts/startup-floor.sh [build dir (default build/release)]
#          [memory rounds (default 7)] [timing rounds (default 40)]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/session.sh

scripts/install-deps.sh run
build=${1:-build/release}
memory_rounds=${2:-7}
timing_rounds=${3:-40}
start_session "$build"
floor=$(realpath "$build/bin/startup-floor")
watch=$(realpath "$build/bin/startup-watch")

export QT_QPA_PLATFORM=xcb
start_xvfb 1024x768x24

# On a machine busy with builds the figures scatter widely. Where allowed
# (as root), the X server and the measured programs, floor and marrowlink
# alike, run at a higher priority than the builds, which narrows the scatter.
priority=()
if nice -n -10 true 2>/dev/null && renice -n -10 -p "$xvfb_pid" >/dev/null 2>&1; then
  priority=(nice -n -10)
fi

# measure <name> <window title> <program>: appends "window_ms cpu_ms rss_kb"
# to $work/figures-<name>, and rss_kb to $work/memory-<name> in a memory
# round.
measure() {
  local name=$1 window=$2 binary=$3 line
  if ! line=$("${priority[@]}" "$watch" "$window" "$settle" "$binary" 2>"$work/err.log"); then
    cat "$work/err.log" >&2
    exit 1
  fi
  line=${line//window_ms=/}
  line=${line//cpu_ms=/}
  line=${line//rss_kb=/}
  echo "$line" >>"$work/figures-$name"
  if [[ $settle == 3 ]]; then
    echo "${line##* }" >>"$work/memory-$name"
  fi
}

floor_run() {
  export XDG_CONFIG_HOME=$work/floor-config
  measure floor startup-floor "$floor"
}

# A settings folder nobody used before.
first_run() {
  export XDG_CONFIG_HOME=$work/first-$1
  mkdir -p "$XDG_CONFIG_HOME"
  measure first "$title" "$program"
}

# The settings of someone who left the port open and repeating; a fresh
# instrument every run, so each run opens a port nobody used before.
returning_run() {
  export XDG_CONFIG_HOME=$work/returning
  start_simulator "$sim" "$work/sim.log" --steady
  write_settings "Port=$sim_port" Open=dword:1 Cycle=dword:1 Message=p.v
  measure returning "$title" "$program"
  stop_simulator
  if [[ $settle == 3 ]] && ! grep -Eq '^k4410r-sim: requests=([2-9]|[1-9][0-9]+)$' "$work/sim.log"; then
    echo "the returning user's run did not poll the instrument:" >&2
    cat "$work/sim.log" >&2
    exit 1
  fi
}

# Each round runs all three, starting with a different one each time, so a
# build next door weighs on all of them alike.
for round in $(seq $((memory_rounds + timing_rounds))); do
  settle=0.2
  ((round <= memory_rounds)) && settle=3
  case $((round % 3)) in
  1) floor_run; first_run "$round"; returning_run ;;
  2) first_run "$round"; returning_run; floor_run ;;
  0) returning_run; floor_run; first_run "$round" ;;
  esac
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
column() { awk -v c="$1" '{ print $c }' "$work/figures-$2" | median; }
memory() { median <"$work/memory-$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
all() { awk -v c="$1" '{ printf "%s ", $c }' "$work/figures-$2"; }

floor_ms=$(column 1 floor)
floor_cpu=$(column 2 floor)
floor_kb=$(memory floor)
echo "medians of $((memory_rounds + timing_rounds)) starts each (memory: of $memory_rounds)"
worst_ms=0
worst_kb=0
for case in first returning; do
  ms=$(column 1 "$case")
  cpu=$(column 2 "$case")
  kb=$(memory "$case")
  label=$case
  [[ $case == first ]] && label=first-run
  echo "$label: window_ms=$ms floor_ms=$floor_ms ratio=$(ratio "$ms" "$floor_ms")" \
    "rss_kb=$kb floor_rss_kb=$floor_kb rss_ratio=$(ratio "$kb" "$floor_kb")" \
    "cpu_ms=$cpu floor_cpu_ms=$floor_cpu cpu_ratio=$(ratio "$cpu" "$floor_cpu")"
  echo "  all $label: ms $(all 1 "$case")"
  ((ms > worst_ms)) && worst_ms=$ms
  ((kb > worst_kb)) && worst_kb=$kb
done
echo "  all floor: ms $(all 1 floor)"
echo "window_ms=$worst_ms floor_ms=$floor_ms ratio=$(ratio "$worst_ms" "$floor_ms")" \
  "rss_kb=$worst_kb floor_rss_kb=$floor_kb"
