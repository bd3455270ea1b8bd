# shellcheck shell=bash
# Debian's source of exactly a package version, through a private apt
# configuration with deb-src twins of this machine's own entries, so that
# the machine's sources stay as they are. Sourced.
#
# fetch_debian_source <source package> <version> <folder>: unpacks the source
#   tree into <folder> (replacing it) and marks it complete; a complete
#   folder is kept as it is. On failure says why on stderr and returns 1.
fetch_debian_source() (
  # Callers test the result (`|| ...`), which turns -e off in here: every
  # step that can fail is checked itself.
  set -uo pipefail
  local package=$1 version=$2 dest=$3 apt_dir fetch unpacked f n=0
  [ -f "$dest/.complete" ] && exit 0
  echo "== Fetching the source of $package $version"
  apt_dir=$(mktemp -d "${TMPDIR:-/tmp}/marrowlink-apt-XXXXXX") || exit 1
  fetch=$dest.fetch
  trap 'rm -rf "$apt_dir" "$fetch"' EXIT
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" ||
    exit 1
  : >"$apt_dir/sources.list" || exit 1
  shopt -s nullglob
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >>"$apt_dir/sources.list"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    n=$((n + 1))
    sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/src$n.sources"
  done
  shopt -u nullglob
  local apt_opts=(
    -o "Dir::Etc::sourcelist=$apt_dir/sources.list"
    -o "Dir::Etc::sourceparts=$apt_dir/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir/cache"
    -o "APT::Sandbox::User=root"
  )
  apt-get "${apt_opts[@]}" update -qq || {
    echo "source download failed: apt-get update with deb-src entries for this machine's mirrors" >&2
    exit 1
  }
  rm -rf "$fetch"
  mkdir -p "$fetch" || exit 1
  (cd "$fetch" && apt-get "${apt_opts[@]}" source -qq "$package=$version") || {
    echo "source download failed: apt-get source $package=$version" >&2
    exit 1
  }
  unpacked=$(find "$fetch" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  if [ -z "$unpacked" ] || [ ! -f "$unpacked/CMakeLists.txt" ]; then
    echo "source download failed: no unpacked source tree in $fetch" >&2
    exit 1
  fi
  rm -rf "$dest"
  mv "$unpacked" "$dest" && touch "$dest/.complete"
)
