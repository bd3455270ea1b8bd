#!/usr/bin/env bash
# Proves the README's two commands on a fresh Debian 12: builds a clean
# bookworm root (debootstrap, minbase) from the Debian mirror this machine's
# apt sources name, installs only git and ca-certificates in it, clones the
# committed HEAD of this repository into it and runs there, as root, the
# README's run command (without a display, so its Xvfb path) and then its
# test command. The last line is
#   fresh_run=ok|fail fresh_test=ok|fail minutes=<N>
# and the exit status is non-zero unless both are ok.
#
# Every stage that mounts anything runs in a mount and PID namespace of its
# own: the root's proc, sys, dev, dev/pts and tmp are never visible on this
# machine, and killing the namespace's first process ends everything that
# ran inside and takes the mounts with it. The root is removed on every exit,
# Ctrl-C and SIGTERM included. This machine's own packages are not touched.
#
# usage: sudo scripts/fresh-machine.sh   (TMPDIR picks where the root goes)
set -euo pipefail
# Read whole before it runs: a checkout changing under a running copy
# cannot change what it does.
{
me=${0##*/}
# The script's own messages go to this stderr, also while a stage's output
# is sent to a log.
exec 3>&2
refuse() {
  echo "$me: $*" >&2
  exit 2
}
[[ $(id -u) -eq 0 ]] || refuse "must run as root (it builds a Debian root with debootstrap and mounts inside it)"
repo=$(cd "$(dirname "$0")/.." && pwd)
command -v debootstrap >/dev/null || "$repo/scripts/install-deps.sh" fresh ||
  refuse "debootstrap is not installed and could not be (apt-get install debootstrap)"
command -v unshare >/dev/null || refuse "unshare is not installed (util-linux)"
git -C "$repo" rev-parse -q --verify HEAD >/dev/null || refuse "$repo has no commit to clone"

# Prints "<uri> <suite>" for every deb entry of this machine's apt sources,
# in both the one-line format and the deb822 format.
apt_sources() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f $f ]] || continue
    awk '$1 == "deb" {
      i = 2
      if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
      print $i, $(i + 1)
    }' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f $f ]] || continue
    awk 'function flush(   n, m, i, j, u, s) {
        if (types ~ /(^| )deb( |$)/ && enabled != "no") {
          n = split(uris, u, " "); m = split(suites, s, " ")
          for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) print u[i], s[j]
        }
        types = uris = suites = enabled = ""
      }
      /^[[:space:]]*#/ { next }
      /^[[:space:]]*$/ { flush(); next }
      { key = tolower($1); $1 = "" }
      key == "types:" { types = $0 }
      key == "uris:" { uris = $0 }
      key == "suites:" { suites = $0 }
      key == "enabled:" { enabled = tolower($0); gsub(/ /, "", enabled) }
      END { flush() }' "$f"
  done
}
# The first URI that serves the given suite, without a trailing slash.
source_for() {
  apt_sources | awk -v suite="$1" '$2 == suite { sub(/\/+$/, "", $1); print $1; exit }'
}
mirror=$(source_for bookworm)
security=$(source_for bookworm-security)
[[ -n $mirror ]] || refuse "no Debian 12 (bookworm) mirror in this machine's apt sources"
wget -q --spider --tries=1 --timeout=20 "$mirror/dists/bookworm/Release" ||
  refuse "debootstrap cannot reach the Debian mirror $mirror"

start=$(date +%s)
work=$(mktemp -d "${TMPDIR:-/var/tmp}/marrowlink-fresh-XXXXXX")
root=$work/root
stage_pid=""

# Ends the running stage: its namespace's first process is killed, the
# kernel then kills everything else in that PID namespace, and once the
# last of them is gone the namespace's mounts go with it.
stop_stage() {
  [[ -n $stage_pid ]] || return 0
  local init
  for init in $(pgrep -P "$stage_pid" 2>/dev/null); do
    kill -KILL "$init" 2>/dev/null || true
  done
  kill -KILL "$stage_pid" 2>/dev/null || true
  wait "$stage_pid" 2>/dev/null || true
  stage_pid=""
}

mounted_below() {
  findmnt -rn -o TARGET | awk -v dir="$work" 'index($0, dir "/") == 1 || $0 == dir'
}

cleanup() {
  local status=$?
  trap - EXIT INT TERM
  stop_stage
  local left
  left=$(mounted_below)
  if [[ -n $left ]]; then
    echo "$left" | sort -r | while read -r m; do umount -l "$m" 2>/dev/null || true; done
    left=$(mounted_below)
  fi
  if [[ -n $left ]]; then
    echo "$me: left $work in place: still mounted below it: $left" >&3
  else
    rm -rf --one-file-system "$work"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'echo "$me: interrupted" >&3; exit 130' INT
trap 'echo "$me: terminated" >&3; exit 143' TERM

# Runs "$@" in a new mount and PID namespace, in the background so that a
# signal reaches the traps at once, and waits for it.
in_namespace() {
  unshare --mount --propagation private --pid --fork --kill-child -- "$@" &
  stage_pid=$!
  local status=0
  wait "$stage_pid" || status=$?
  stage_pid=""
  return "$status"
}

echo "Building a clean Debian 12 root from $mirror in $root"
if ! in_namespace debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1; then
  tail -n 20 "$work/debootstrap.log" >&2
  echo "$me: debootstrap failed" >&2
  exit 1
fi
# A folder made by mktemp is 0700; a real root is 0755, and the tests that
# drop to nobody need to be able to reach it.
chmod 0755 "$root"
{
  echo "deb $mirror bookworm main"
  echo "deb $mirror bookworm-updates main"
  [[ -z $security ]] || echo "deb $security bookworm-security main"
} >"$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"
ref=$(git -C "$repo" symbolic-ref -q HEAD || true)
git -C "$repo" bundle create -q "$root/root/marrowlink.bundle" HEAD ${ref:+"$ref"}

# Runs in the namespaces: mounts what a machine has, then the steps. Each
# step's status and seconds go to $work/<step>.
inside() {
  local root=$1 work=$2
  # The root is a mount of its own, as / is on a machine: tests that make a
  # private mount below it start by making / private.
  mount --bind "$root" "$root"
  mount -t proc proc "$root/proc"
  mount -t sysfs -o ro,nosuid,nodev,noexec sysfs "$root/sys"
  # A private /dev with the usual nodes and its own pseudo-terminals.
  mount -t tmpfs -o mode=0755,nosuid,size=16m dev "$root/dev"
  local node
  for node in "null c 1 3" "zero c 1 5" "full c 1 7" "random c 1 8" "urandom c 1 9" "tty c 5 0"; do
    # shellcheck disable=SC2086 # name, type, major, minor
    set -- $node
    mknod -m 0666 "$root/dev/$1" "$2" "$3" "$4"
  done
  mkdir "$root/dev/pts" "$root/dev/shm"
  ln -s pts/ptmx "$root/dev/ptmx"
  ln -s /proc/self/fd "$root/dev/fd"
  ln -s /proc/self/fd/0 "$root/dev/stdin"
  ln -s /proc/self/fd/1 "$root/dev/stdout"
  ln -s /proc/self/fd/2 "$root/dev/stderr"
  mount -t devpts -o newinstance,ptmxmode=0666,mode=0620,gid=5 devpts "$root/dev/pts"
  mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
  mount -t tmpfs -o mode=1777,nosuid,nodev,size=4g tmp "$root/tmp"
  # The root shares this machine's network namespace and with it the X
  # servers' abstract sockets: scripts/lib/xvfb.sh lets Xvfb take the first
  # display whose socket is free, so a server in the root never meets one of
  # this machine's.

  # A user's login shell on that machine: nothing of this one's environment.
  as_user() {
    chroot "$root" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash TERM=dumb \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      bash -lc "$1" </dev/null
  }
  step() {
    local name=$1 t0 status=0
    t0=$(date +%s)
    as_user "$2" || status=$?
    echo "$status $(($(date +%s) - t0))" >"$work/$name"
    return "$status"
  }
  echo "Installing git and ca-certificates in the root"
  step setup 'apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends git ca-certificates >/dev/null &&
    git clone -q ~/marrowlink.bundle ~/marrowlink && rm ~/marrowlink.bundle' || return 1
  echo
  echo "=== cd ~/marrowlink && scripts/run.sh"
  step run 'cd ~/marrowlink && scripts/run.sh' || true
  echo
  echo "=== cd ~/marrowlink && scripts/test.sh"
  step test 'cd ~/marrowlink && scripts/test.sh' || true
}

export -f inside
in_namespace bash -c 'set -euo pipefail; inside "$@"' inside "$root" "$work" || true

result() {
  local status
  [[ -f $work/$1 ]] && read -r status _ <"$work/$1" && [[ $status -eq 0 ]] && echo ok || echo fail
}
seconds() {
  local s=0
  [[ -f $work/$1 ]] && read -r _ s <"$work/$1"
  echo "$s"
}
[[ $(result setup) == ok ]] || echo "$me: setting up the root (apt-get, git clone) failed" >&2
fresh_run=$(result run)
fresh_test=$(result test)
total=$(($(date +%s) - start))
run_s=$(seconds run)
test_s=$(seconds test)
echo
echo "root and setup $(((total - run_s - test_s) / 60)) min, scripts/run.sh $((run_s / 60)) min $((run_s % 60)) s," \
  "scripts/test.sh $((test_s / 60)) min $((test_s % 60)) s"
echo "fresh_run=$fresh_run fresh_test=$fresh_test minutes=$(((total + 30) / 60))"
[[ $fresh_run == ok && $fresh_test == ok ]]
exit
}
