#!/usr/bin/env bash
# Checks the Windows installer under Wine, headless (Xvfb), in a fresh Wine
# prefix, as a user meets it: "msiexec /i ... /qn" installs exactly the
# files of the zip beside it into Program Files\marrowlink, with a
# Start-menu entry and one entry in Installed apps; the Start-menu entry
# starts the window, which opens COM9 (the simulator's port, its modem lines
# kept by tools/wine-modem, preloaded into Wine), answers p.v there and
# saves its 34 values at a close request; the installed marrowlink-cli.exe
# publishes three polls of p.v to a real broker; the task
# file it brings imports with schtasks /Create /XML, and marrowlink-cli
# takes the task's command line; the next version's installer (built here
# from the same zip with a higher version and a changed README) replaces it
# in place, leaving one entry and its own files; the entry's UninstallString
# removes every installed file and the Start-menu entry. Installing,
# upgrading and removing leave the settings key and the session records as
# they were.
#
#   scripts/windows/test-msi.sh [msi]   (default: build/windows/marrowlink-3.2-windows-x64.msi)
set -euo pipefail
[ $# -ge 1 ] && set -- "$(realpath -m "$1")"
cd "$(dirname "$0")/../.."
# shellcheck source=scripts/lib/session.sh
source scripts/lib/session.sh
# shellcheck source=scripts/lib/wine-window.sh
source scripts/lib/wine-window.sh

msi=$(realpath -m "${1:-build/windows/marrowlink-3.2-windows-x64.msi}")
zip=${msi%.msi}.zip
out=$(dirname "$msi")
sim_port=COM9
key=$settings_key
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
task='marrowlink COM3'
started=$(date +%s)

check_name="Windows installer check"
# shellcheck source=scripts/lib/checks.sh
source scripts/lib/checks.sh

[ -f "$msi" ] || die "no $msi (scripts/windows/package.sh makes it)"
[ -f "$zip" ] || die "no $zip beside the installer"
scripts/install-deps.sh windows-gui
version=$(sed -E 's/^marrowlink-([0-9.]+)-windows-x64$/\1/' <<<"$(basename "$zip" .zip)")
IFS=. read -r major minor build <<<"$version"
next_version=$major.$minor.$((${build:-0} + 1))

# shellcheck source=scripts/lib/wine-sim.sh
source scripts/lib/wine-sim.sh
shots=windows-msi
# shellcheck source=scripts/lib/wine-operator.sh
source scripts/lib/wine-operator.sh
# shellcheck source=scripts/lib/wine-cli.sh
source scripts/lib/wine-cli.sh
start_wine_check winmsi
build_wintext || die "building the text reader"
start_xvfb 1280x1024x24 || die "starting Xvfb"
sim_behind_port "$sim_port" "$work/sim.log" || die "starting k4410r-sim behind $sim_port"
start_broker "$work/broker" || die "starting mosquitto"
unix_path() { winepath -u "$1" 2>/dev/null </dev/null; }
folder=$(unix_path 'C:\Program Files\marrowlink')
sessions=$(unix_path "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null </dev/null | tr -d '\r')")/marrowlink/sessions
# Wine puts an all-users Start-menu entry into the user's menu.
menus=('C:\ProgramData\Microsoft\Windows\Start Menu\Programs'
  "$(wine cmd /c echo %APPDATA% 2>/dev/null </dev/null | tr -d '\r')\Microsoft\Windows\Start Menu\Programs")

# What an operator would have before installing: settings and a day of
# session records.
seed_settings "$key" "$sim_port" || die "seeding the settings"
mkdir -p "$sessions"
printf '2026-12-08T10:00:00.000+01:00\tCOM3\topen\n' >"$sessions/2026-12-08.log"
# kept: a digest of what the installer must never touch.
kept() {
  wine_quiet reg export "$key" 'C:\kept.reg' /y
  {
    cat "$(unix_path 'C:\kept.reg')"
    (cd "$sessions" && find . -type f -exec sha256sum {} + | sort)
  } | sha256sum
}
before=$(kept)
unchanged() { [ "$(kept)" = "$before" ]; }

# files_of <folder>: each file below it with its digest.
files_of() { (cd "$1" && find . -type f -exec sha256sum {} + | sort -k 2); }
unzip -q "$zip" -d "$work/zip"
same_files() {
  local expected
  expected=$(files_of "$1"/*)
  [ "$(files_of "$folder" 2>/dev/null)" = "$expected" ] && return 0
  diff <(echo "$expected") <(files_of "$folder" 2>/dev/null) | sed 's/^/        /'
  return 1
}
# entries: the DisplayName and DisplayVersion of each program named
# Marrowlink in Installed apps, and its UninstallString, one line each.
entries() {
  wine reg query "$uninstall" /s 2>/dev/null </dev/null | tr -d '\r' |
    awk '/^HKEY/ { name = ""; version = ""; remove = "" }
         /^    DisplayName / { sub(/^    DisplayName +REG_SZ +/, ""); name = $0 }
         /^    DisplayVersion / { sub(/^    DisplayVersion +REG_SZ +/, ""); version = $0 }
         /^    UninstallString / { sub(/^    UninstallString +REG_[A-Z_]+ +/, ""); remove = $0 }
         /^$/ && name == "Marrowlink" { print name "|" version "|" remove; name = "" }
         END { if (name == "Marrowlink") print name "|" version "|" remove }'
}
one_entry() { # one_entry <version>
  local found
  found=$(entries)
  [ "$(wc -l <<<"$found")" -eq 1 ] && [ "$(cut -d'|' -f2 <<<"$found")" = "$1" ] && return 0
  echo "        Installed apps hold: ${found:-nothing}"
  return 1
}
menu_entry() { # its Windows path
  local menu
  for menu in "${menus[@]}"; do
    [ -f "$(unix_path "$menu")/Marrowlink.lnk" ] && echo "$menu\Marrowlink.lnk" && return 0
  done
  return 1
}

msiexec_quiet() { wine msiexec "$@" /qn >"$work/msiexec.log" 2>&1 </dev/null; }
check "msiexec /i $(basename "$msi") /qn installs" msiexec_quiet /i "$(winepath -w "$msi")"
check "Program Files\\marrowlink holds exactly the files of the zip" same_files "$work/zip"
check "Installed apps hold one Marrowlink, version $version" one_entry "$version"
in_menu() { menu_entry >/dev/null; }
check "the Start menu holds Marrowlink" in_menu
check "installing left the settings and the session records alone" unchanged

# The window, started from the Start-menu entry as a user would.
if lnk=$(menu_entry); then
  # Wine's start does not wait for what a shortcut starts: the program's
  # process is found through its window.
  wine start "$lnk" >"$work/marrowlink.log" 2>&1 </dev/null
  if wait_windows "$title" 1 90; then
    echo "ok:     the Start-menu entry shows the window \"$title\""
    app_pid=$(xdotool getwindowpid "$(windows_named "$title" | head -n 1)")
    sleep 2
    shot windows-msi.png
    if find_client; then
      check "the installed program opens $sim_port" port_opens
      check "p.v sent through the installed window is answered: \"1. p.v 23.5\"" \
        answered p.v "1. p.v 23.5"
    else
      check "finding the window's client area" false
    fi
    wine_quiet taskkill /im marrowlink.exe || true
    check "the installed program ends on a close request" app_exited any
    read_settings "$key" "$work"
    check "$key holds the 34 values of the schema with their types" settings_match "$work"
  else
    tail -n 20 "$work/marrowlink.log"
    check "the Start-menu entry shows the window \"$title\"" false
  fi
fi

exe=$folder/marrowlink-cli.exe port=$sim_port pty=$sim_pty
check "the installed marrowlink-cli.exe poll $sim_port p.v --count 3 --mqtt publishes three readings" \
  three_readings
before=$(kept)

# The task of the README, imported as the README says.
task_xml='C:\Program Files\marrowlink\marrowlink-cli-task.xml'
check "schtasks /Create /XML imports the task \"$task\"" \
  wine_quiet schtasks /Create /XML "$task_xml" /TN "$task"
# Wine keeps neither the task's boot trigger nor its action, so the start
# itself cannot be tried here: the command line is run as the task would,
# and must be one marrowlink-cli takes (status 2 is a usage error).
task_command() {
  local xml command arguments status=0
  xml=$(iconv -f UTF-16 -t UTF-8 "$(unix_path "$task_xml")" | tr -d '\r')
  command=$(sed -n 's|.*<Command>"\(.*\)"</Command>.*|\1|p' <<<"$xml")
  arguments=$(sed -n 's|.*<Arguments>\(.*\)</Arguments>.*|\1|p' <<<"$xml")
  [ -f "$(unix_path "$command")" ] || {
    echo "        the task runs $command, which is not installed"
    return 1
  }
  # shellcheck disable=SC2086 # the task's arguments, split as Windows does
  timeout 20 wine "$command" $arguments >"$work/task.log" 2>&1 </dev/null || status=$?
  case $status in
    0 | 1 | 3 | 5 | 124) return 0 ;;
  esac
  echo "        $command $arguments: status $status"
  sed 's/^/        /' "$work/task.log"
  return 1
}
check "marrowlink-cli.exe takes the task's command line" task_command

# The next version: the same files but a README of its own.
mkdir "$work/next"
(cd "$work/next" && unzip -q "$zip") || die "unpacking $zip"
printf 'Version %s.\r\n' "$next_version" >>"$(echo "$work/next"/*/README-windows.txt)"
(cd "$work/next" && zip -qr ../next.zip .) || die "zipping version $next_version"
scripts/windows/msi.sh "$work/next.zip" "$next_version" "$work/next.msi" >/dev/null ||
  die "building the installer of version $next_version"
check "the installer of version $next_version installs over it" msiexec_quiet /i "$(winepath -w "$work/next.msi")"
check "Installed apps hold one Marrowlink, version $next_version" one_entry "$next_version"
check "Program Files\\marrowlink holds exactly the files of version $next_version" same_files "$work/next"
check "upgrading left the settings and the session records alone" unchanged

# Removing, as Installed apps does: its UninstallString, quietly.
remove=$(entries | cut -d'|' -f3)
# shellcheck disable=SC2086 # MsiExec.exe /X{product code}
check "the entry's UninstallString ($remove) removes it" msiexec_quiet ${remove#MsiExec.exe }
gone() {
  [ ! -e "$folder" ] && ! in_menu && [ -z "$(entries)" ] && return 0
  find "$folder" 2>/dev/null | sed 's/^/        left: /'
  menu_entry | sed 's/^/        left: /'
  entries | sed 's/^/        left: /'
  return 1
}
check "no installed file, Start-menu entry or Installed apps entry is left" gone
check "removing left the settings and the session records alone" unchanged

finish "installer $(du -k "$msi" | cut -f1) KB"
