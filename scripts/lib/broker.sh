# shellcheck shell=bash
# A mosquitto broker of a script's own on 127.0.0.1 at a free port, with
# persistence, so that it can be stopped and started again with its state
# and its clients' sessions. Sourced.
#
# start_broker <folder>: the first call picks the port (broker_port) and
#   writes the configuration into <folder>; a later one starts the broker
#   again on the same. Sets broker_pid; fails when it does not listen in 10 s.
# stop_broker: ends it (it saves its state) and waits.
source scripts/lib/background.sh

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

start_broker() {
  local folder=$1 program
  program=$(PATH=$PATH:/usr/sbin command -v mosquitto) || {
    echo "mosquitto is missing: scripts/install-deps.sh windows installs it" >&2
    return 1
  }
  if [[ ! -f $folder/mosquitto.conf ]]; then
    mkdir -p "$folder/store"
    broker_port=$((20000 + RANDOM % 40000))
    while listening "$broker_port"; do broker_port=$((20000 + RANDOM % 40000)); done
    # Started as root it would become the user mosquitto, who may not write
    # its store here.
    printf '%s\n' "listener $broker_port 127.0.0.1" "allow_anonymous true" "persistence true" \
      "persistence_location $folder/store/" "user $(id -un)" >"$folder/mosquitto.conf"
  fi
  "$program" -c "$folder/mosquitto.conf" >>"$folder/broker.log" 2>&1 </dev/null &
  broker_pid=$!
  wait_started "$broker_pid" mosquitto "$folder/broker.log" 100 listening "$broker_port"
}

stop_broker() {
  stop_background "${broker_pid:-}"
  broker_pid=""
}
