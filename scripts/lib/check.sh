# shellcheck shell=bash
# The checks of a script, each reported on a line of its own and counted.
# Sourced.
#
# check <name> <command...>: runs the command, says ok or FAILED, and
#   counts the failures in $failed.
failed=0
check() {
  local name=$1
  shift
  if "$@"; then
    echo "ok:     $name"
  else
    echo "FAILED: $name"
    failed=$((failed + 1))
  fi
}
