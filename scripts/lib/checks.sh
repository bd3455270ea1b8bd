# shellcheck shell=bash
# The lines of a check script that runs many checks and reports each.
# Sourced after setting check_name (how the last line names the script) and
# started (its start, in seconds since the epoch).
#
# check <name> <command...>: runs the command, prints "ok:" or "FAILED:" with
#   the name, and counts the failures in failed.
# die <what>: a failure after which nothing else can be checked; ends the
#   script.
# finish [detail]: the script's last line, with the detail when all passed;
#   fails when a check failed.
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
# shellcheck disable=SC2154 # check_name and started are the sourcing script's
die() {
  echo "FAILED: $*"
  echo "$check_name: stopped at \"$*\" after $(($(date +%s) - started)) s"
  exit 1
}

# shellcheck disable=SC2120 # the detail is optional
finish() {
  local elapsed=$(($(date +%s) - started))
  if [ "$failed" -gt 0 ]; then
    echo "$check_name: $failed check(s) FAILED in $elapsed s"
    exit 1
  fi
  echo "$check_name: all passed in $elapsed s${1:+ ($1)}"
}
