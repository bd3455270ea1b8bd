# shellcheck shell=bash
# What the Windows checks under Wine and Xvfb read of the program from
# outside: its X windows, and the settings it leaves in Wine's registry.
# Sourced.
#
# windows_named <title>: ids of the visible X windows with exactly that name.
# wait_windows <title> <count> [seconds]: until that many are visible; fails
#   early when the process $app_pid (if set) has ended.
# app_exited [any]: the process $app_pid ends within 30 s, with status 0
#   unless any (a process found through its window, not this shell's
#   child, whose status cannot be had); clears app_pid.
# read_settings <key> <folder>: the key's values into <folder>/settings.txt
#   (as reg query prints them) and <folder>/values.txt (TYPE|name|value).
# settings_match <folder>: the values read are the 34 of the schema, each
#   with its type; otherwise says what differs.
# seed_settings <key> <COMn>: what an operator would have left there: that
#   port, and the window placed clear of the top-left corner, where the
#   monitors open.
# windows_path <path>: a path of this machine as Wine's Z: drive names it.
# shellcheck disable=SC2154 # app_pid is the sourcing script's
windows_named() {
  local pattern
  pattern="^$(printf '%s' "$1" | sed 's/[].[*^$\\]/\\&/g')\$"
  xdotool search --onlyvisible --name "$pattern" 2>/dev/null || true
}

wait_windows() {
  local deadline=$((SECONDS + ${3:-30}))
  while [ "$(windows_named "$1" | wc -l)" -ne "$2" ]; do
    [ $SECONDS -lt $deadline ] || return 1
    [ -z "$app_pid" ] || kill -0 "$app_pid" 2>/dev/null || return 1
    sleep 0.2
  done
}

app_exited() {
  local deadline=$((SECONDS + 30)) status=0
  while kill -0 "$app_pid" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
  [ "${1:-}" = any ] || wait "$app_pid" 2>/dev/null || status=$?
  app_pid=""
  [ "$status" -eq 0 ] || echo "        exit status $status"
  [ "$status" -eq 0 ]
}

read_settings() {
  wine reg query "$1" 2>/dev/null </dev/null | tr -d '\r' >"$2/settings.txt" || true
  # "    name    REG_TYPE    value" -> "REG_TYPE|name|value"
  sed -nE 's/^    (.*)    (REG_[A-Z_]+)(    (.*))?$/\2|\1|\4/p' "$2/settings.txt" >"$2/values.txt"
}

settings_schema() {
  {
    for name in Left Top "Protocol Index" "Baudrate Index" Cycle Monitor Open "Monitor Left" \
      "Monitor Top" "Monitor Show Editors" "Monitor Panels"; do
      echo "REG_DWORD|$name"
    done
    for name in Port Address Message; do echo "REG_SZ|$name"; done
    for n in 0 1 2 3 4 5 6 7 8 9; do
      echo "REG_SZ|Monitor Panel$n Command"
      echo "REG_DWORD|Monitor Panel$n Color"
    done
  } | LC_ALL=C sort
}

settings_match() {
  local found schema
  schema=$(settings_schema)
  found=$(cut -d'|' -f1,2 "$1/values.txt" | LC_ALL=C sort)
  [ "$found" = "$schema" ] && return 0
  echo "        the key holds:"
  sed 's/^/          /' "$1/settings.txt"
  diff <(echo "$schema") <(echo "$found") | sed 's/^/        /'
  return 1
}

seed_settings() {
  wine_quiet reg add "$1" /v Port /t REG_SZ /d "$2" /f &&
    wine_quiet reg add "$1" /v Left /t REG_DWORD /d 500 /f &&
    wine_quiet reg add "$1" /v Top /t REG_DWORD /d 400 /f
}

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
