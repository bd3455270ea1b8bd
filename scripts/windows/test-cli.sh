#!/usr/bin/env bash
# Checks marrowlink-cli.exe under Wine against the simulator and a real
# broker: the answers of send, three readings of a poll at a broker (QoS 1,
# held for a subscriber that is away), every reading in order through the
# broker's restart, the credentials file refused while others may read it,
# and --mqtt-cafile refused for want of TLS. Run by scripts/windows/test.sh
# within its Wine prefix, where the port maps to the simulator and the
# modem-line library is preloaded.
#
#   scripts/windows/test-cli.sh <marrowlink-cli.exe> <COMn> <its pseudo-terminal>
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=scripts/lib/wine-cli.sh
source scripts/lib/wine-cli.sh
# shellcheck source=scripts/lib/wine-window.sh
source scripts/lib/wine-window.sh
check_name="Windows command-line check"
# shellcheck source=scripts/lib/checks.sh
source scripts/lib/checks.sh

exe=$1 port=$2 pty=$3
started=$(date +%s)
work=$(mktemp -d "${TMPDIR:-/tmp}/marrowlink-wincli-XXXXXX")
cleanup() {
  stop_broker
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
start_broker "$work/broker"

# says <file> <text>: the file holds the text, or shows what it holds.
says() { grep -qF -- "$2" "$1" || shows "$1" "\"$2\""; }

answers() {
  cli send send "$port" p.v s.p || shows "$work/send.err" "exit status 0" || return 1
  [ "$(cat "$work/send.out")" = "$(printf 'p.v 23.5\\r\\n\ns.p 25.0\\r\\n')" ] ||
    shows "$work/send.out" "the two answers"
}
check "send $port p.v s.p answers p.v 23.5 and s.p 25.0" answers

check "poll --count 3 --mqtt publishes three readings at QoS 1" three_readings

lines() { [ -f "$1" ] && wc -l <"$1" || echo 0; }
wait_lines() { # wait_lines <file> <count>: up to 30 s
  local deadline=$((SECONDS + 30))
  while [ "$(lines "$1")" -lt "$2" ]; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}
through_restart() {
  local sent=$work/restart.jsonl poll_pid status=0 ok=0 i=0 line reading
  subscribe restart 'restart/#'
  (cli restart poll "$port" p.v --count 12 --every 250ms --jsonl "$(windows_path "$sent")" \
    --mqtt "127.0.0.1:$broker_port" --mqtt-prefix restart) &
  poll_pid=$!
  wait_lines "$sent" 3 && stop_broker && wait_lines "$sent" 7 && start_broker "$work/broker" || ok=1
  wait "$poll_pid" || status=$?
  [ "$status" -eq 0 ] || shows "$work/restart.err" "exit status 0, not $status" || ok=1
  # At least once, in order: a reading may come twice after the reconnect.
  collect restart 'restart/#' 5 | awk '!seen[$0]++' | cut -d' ' -f2- >"$work/restart.sub"
  [ "$(lines "$work/restart.sub")" -eq 12 ] && [ "$(lines "$sent")" -eq 12 ] ||
    shows "$work/restart.sub" "the 12 readings of $sent" || ok=1
  # The JSON Lines reading carries port and command before the payload's keys.
  while read -r reading; do
    i=$((i + 1))
    line=$(sed -n "${i}p" "$sent")
    [[ $line == *"${reading:1}" ]] || {
      shows "$sent" "${reading:1} as reading $i" || ok=1
      break
    }
  done <"$work/restart.sub"
  [ "$(grep -c 'went away' "$work/restart.err")" -eq 1 ] &&
    [ "$(grep -c 'connected again' "$work/restart.err")" -eq 1 ] ||
    shows "$work/restart.err" "went away and connected again, once each" || ok=1
  return "$ok"
}
check "every reading reaches the broker in order through its restart" through_restart

private_credentials() {
  local secrets=$work/secrets status=0
  printf 'username = u\npassword = p\n' >"$secrets"
  chmod 644 "$secrets"
  cli exposed poll "$port" p.v --count 1 --mqtt "127.0.0.1:$broker_port" \
    --mqtt-credentials "$(windows_path "$secrets")" || status=$?
  [ "$status" -eq 2 ] || shows "$work/exposed.err" "exit status 2, not $status" || return 1
  says "$work/exposed.err" "is readable by other users" || return 1
  chmod 600 "$secrets"
  cli private poll "$port" p.v --count 1 --mqtt "127.0.0.1:$broker_port" \
    --mqtt-credentials "$(windows_path "$secrets")" || shows "$work/private.err" "exit status 0"
}
check "a credentials file that others may read is refused, one of its owner's taken" private_credentials

no_tls() {
  local status=0
  cli tls poll "$port" p.v --mqtt "127.0.0.1:$broker_port" --mqtt-cafile ca.pem || status=$?
  [ "$status" -eq 2 ] || shows "$work/tls.err" "exit status 2, not $status" || return 1
  says "$work/tls.err" "--mqtt-cafile: this build has no TLS (no OpenSSL for Windows)"
}
check "--mqtt-cafile is a usage error: no TLS in this build" no_tls

finish
