#!/usr/bin/env bash
# Polls ten monitor panels against the simulated instrument for a while and
# shows whether the program holds its memory and descriptors, and whether
# polling ever stood idle (a lost tick shows as a second without a request).
#
# usage: scripts/monitor-soak.sh [minutes (default 10)] [build dir (default build/default)]
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-10}
build=${2:-build/default}
program=$build/bin/marrowlink
sim=$build/bin/k4410r-sim
for exe in "$program" "$sim"; do
  [[ -x $exe ]] || { echo "missing $exe: build it first" >&2; exit 1; }
done

work=$(mktemp -d)
sim_pid=""
app_pid=""
cleanup() {
  if [[ -n $app_pid ]]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
  if [[ -n $sim_pid ]]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_CONFIG_HOME=$work/config
export XDG_DATA_HOME=$work/data
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
appdir=$XDG_CONFIG_HOME/marrowlink
mkdir -p "$appdir"

# Open COM1 and show the monitor with ten panels at start.
{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink]\r\n'
  printf '"Port"="COM1"\r\n"Open"=dword:00000001\r\n"Monitor"=dword:00000001\r\n'
  printf '"Monitor Panels"=dword:0000000a\r\n'
  for i in $(seq 0 9); do
    printf '"Monitor Panel%d Command"="p.v"\r\n' "$i"
  done
} >"$appdir/user.reg"

"$sim" --steady --port 1 --record "$work/wire" >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do
  [[ -e $appdir/dosdevices/com1 ]] && break
  sleep 0.1
done
[[ -e $appdir/dosdevices/com1 ]] || { echo "the simulator did not register COM1" >&2; exit 1; }

"$program" >"$work/app.log" 2>&1 &
app_pid=$!

requests() {
  local n
  n=$(grep -c 'p\.v' "$work/wire" 2>/dev/null) || true
  echo "${n:-0}"
}
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$app_pid/status"; }
fds() { ls "/proc/$app_pid/fd" | wc -l; }
alive() { kill -0 "$app_pid" 2>/dev/null || { echo "marrowlink ended early:" >&2; cat "$work/app.log" >&2; exit 1; }; }

# Let the first polls settle the heap before the first sample.
for _ in $(seq 60); do
  [[ $(requests) -ge 20 ]] && break
  alive
  sleep 0.5
done
[[ $(requests) -ge 20 ]] || { echo "no polling after 30 s" >&2; cat "$work/app.log" >&2; exit 1; }

start_rss=$(rss_kb)
start_fds=$(fds)
start_requests=$(requests)
echo "start: resident ${start_rss} kB, open descriptors ${start_fds}, requests so far ${start_requests}"

seconds=$((minutes * 60))
idle=0
least=""
most=0
last=$start_requests
for _ in $(seq "$seconds"); do
  sleep 1
  alive
  now=$(requests)
  delta=$((now - last))
  last=$now
  [[ $delta -eq 0 ]] && idle=$((idle + 1))
  [[ -z $least || $delta -lt $least ]] && least=$delta
  [[ $delta -gt $most ]] && most=$delta
done

end_rss=$(rss_kb)
end_fds=$(fds)
end_requests=$(requests)
done_requests=$((end_requests - start_requests))
echo "end:   resident ${end_rss} kB, open descriptors ${end_fds}, requests so far ${end_requests}"
echo "over ${seconds} s: ${done_requests} requests ($(awk -v n="$done_requests" -v s="$seconds" 'BEGIN {printf "%.0f", s * 1000 / n}') ms each)," \
  "$((done_requests / 10)) polls of ten panels; per second between ${least} and ${most}," \
  "${idle} seconds without a request"
echo "change: resident $((end_rss - start_rss)) kB, descriptors $((end_fds - start_fds))"

kill -TERM "$app_pid"
wait "$app_pid" && status=0 || status=$?
app_pid=""
echo "marrowlink ended with status ${status}"
grep -q '"Monitor Panels"=dword:0000000a' "$appdir/user.reg" &&
  echo "saved layout: 10 panels" || echo "saved layout: Monitor Panels not 10" >&2
