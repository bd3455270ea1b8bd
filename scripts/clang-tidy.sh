#!/usr/bin/env bash
# Runs clang-tidy with the checked-in .clang-tidy over every source of the
# project (the Linux build: posix platform, program, tools, tests, fuzz
# targets), in parallel. Prints the findings and "tidy_files=<N>
# tidy_findings=<N>"; fails when there is any.
#
# usage: scripts/clang-tidy.sh [--changed] [build dir (default build/tidy)] [file regex]
#
# --changed checks only the sources a change touches, as scripts/test.sh
# does (the whole tree takes far longer than a test run can spend): those
# changed since the branch left main, or in the last commit on main itself
# (MARROWLINK_TIDY_BASE names another base). A changed header brings the
# source of the same name.
set -euo pipefail
cd "$(dirname "$0")/.."

for tool in clang++ run-clang-tidy; do
  command -v "$tool" >/dev/null || {
    echo "$tool is missing: scripts/install-deps.sh test installs it" >&2
    exit 1
  }
done

changed=false
if [[ ${1:-} == --changed ]]; then
  changed=true
  shift
fi
build=${1:-build/tidy}
only=${2:-}

if $changed; then
  base=${MARROWLINK_TIDY_BASE:-}
  if [[ -z $base ]]; then
    for main in main origin/main; do
      if git rev-parse -q --verify "$main^{commit}" >/dev/null &&
        [[ $(git rev-parse "$main") != $(git rev-parse HEAD) ]]; then
        base=$(git merge-base "$main" HEAD)
        break
      fi
    done
  fi
  base=${base:-HEAD~1}
  mapfile -t touched < <(git diff --name-only --diff-filter=d "$base" -- '*.cpp' '*.h' | sed 's/\.h$/.cpp/' | sort -u)
  if [[ ${#touched[@]} -eq 0 ]]; then
    echo "tidy_files=0 tidy_findings=0 (no source changed since $(git rev-parse --short "$base"))"
    exit 0
  fi
  # Exact paths, the dots taken literally.
  only="^$(pwd)/($(printf '%s|' "${touched[@]}" | sed 's/\./\\./g; s/|$//'))\$"
fi
if [[ ! -f $build/compile_commands.json ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DMARROWLINK_FUZZ=ON >/dev/null
fi

root=$(pwd)
mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build/compile_commands.json" |
  grep "^$root/" | grep -v "^$root/build/" | grep -E "${only:-.}" | sort -u)
# Generated sources (moc) must exist before their users can be checked.
# Making them builds the libraries below the Qt targets, so only when a
# source of one of those is to be checked.
if printf '%s\n' "${files[@]}" | grep -qE "^$root/(ui|app|tools/probe)/"; then
  for target in ui_autogen marrowlink_autogen marrowlink_probe_autogen; do
    cmake --build "$build" --target "$target" >/dev/null 2>&1 || true
  done
fi
# run-clang-tidy given no file checks every one.
if [[ ${#files[@]} -eq 0 ]]; then
  echo "tidy_files=0 tidy_findings=0"
  exit 0
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# A header's finding shows once per file that includes it: count each once.
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${files[@]}" 2>&1 |
  sed 's/\x1b\[[0-9;]*m//g' >"$log" || true
findings=$( (grep -E '^/.*: (warning|error): ' "$log" || true) | sort -u | wc -l)
grep -E '^/.*: (warning|error): ' "$log" | sort -u || true
echo "tidy_files=${#files[@]} tidy_findings=$findings"
[[ $findings -eq 0 ]]
