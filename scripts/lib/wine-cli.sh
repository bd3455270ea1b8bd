# shellcheck shell=bash
# shellcheck disable=SC2154 # exe, port, pty and work are the sourcing script's
# marrowlink-cli.exe run under Wine against the simulator and a broker of
# the script's own (broker.sh, which it brings with it). Sourced after exe
# (the program's Unix path), port (its COM port), pty (the simulator's
# pseudo-terminal behind it) and work (a temporary folder) are set.
#
# cli <name> <arguments...>: the program's status, and its output in
#   $work/<name>.out and .err without Windows' line ends.
# shows <file> <what was expected>: says what the file holds instead; fails.
# subscribe <client id> <topic>: a persistent session of a subscriber that
#   is away: the broker holds each QoS 1 reading for it until it comes.
# collect <client id> <topic> <seconds> [count]: what the broker holds for
#   it, until that many have come or the seconds have passed.
# three_readings: poll --count 3 --mqtt publishes three readings of p.v,
#   which a subscriber away at the time collects from the broker.
source scripts/lib/broker.sh

# A pseudo-terminal cannot take even parity, and the kernel refuses a line
# format that then changes nothing, so each run finds the line changed on
# the Linux side.
cli() {
  local name=$1 status=0
  shift
  stty -F "$pty" -clocal
  wine "$exe" "$@" >"$work/$name.out" 2>"$work/$name.err" </dev/null || status=$?
  sed -i 's/\r$//' "$work/$name.out" "$work/$name.err"
  return "$status"
}

shows() {
  echo "        expected $2; $(basename "$1") holds:"
  sed 's/^/          /' "$1"
  return 1
}

subscribe() {
  mosquitto_sub -h 127.0.0.1 -p "$broker_port" -c -i "$1" -q 1 -t "$2" -E
}

collect() {
  mosquitto_sub -h 127.0.0.1 -p "$broker_port" -c -i "$1" -q 1 -t "$2" -v -W "$3" ${4:+-C "$4"} \
    2>/dev/null || true
}

three_readings() {
  subscribe three 'marrowlink/#'
  cli three poll "$port" p.v --count 3 --mqtt "127.0.0.1:$broker_port" || {
    cat "$work/three.err"
    return 1
  }
  collect three 'marrowlink/#' 10 3 >"$work/three.sub"
  [ "$(grep -c "/$port/p.v {.*\"value\":23.5," "$work/three.sub")" -eq 3 ] ||
    shows "$work/three.sub" "three readings of /$port/p.v"
}
