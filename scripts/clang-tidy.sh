#!/usr/bin/env bash
# Runs clang-tidy with the checked-in .clang-tidy over every source of the
# project (the Linux build: posix platform, program, tools, tests, fuzz
# targets), in parallel. Prints the findings and "tidy_files=<N>
# tidy_findings=<N>"; fails when there is any.
#
# usage: scripts/clang-tidy.sh [build dir (default build/tidy)] [file regex]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/tidy}
only=${2:-}
if [[ ! -f $build/compile_commands.json ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DMARROWLINK_FUZZ=ON >/dev/null
fi
# Generated sources (moc) must exist before their users can be checked.
for target in ui_autogen marrowlink_autogen marrowlink_probe_autogen; do
  cmake --build "$build" --target "$target" >/dev/null 2>&1 || true
done

root=$(pwd)
mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build/compile_commands.json" |
  grep "^$root/" | grep -v "^$root/build/" | grep -E "${only:-.}" | sort -u)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# A header's finding shows once per file that includes it: count each once.
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${files[@]}" 2>&1 |
  sed 's/\x1b\[[0-9;]*m//g' >"$log" || true
findings=$( (grep -E '^/.*: (warning|error): ' "$log" || true) | sort -u | wc -l)
grep -E '^/.*: (warning|error): ' "$log" | sort -u || true
echo "tidy_files=${#files[@]} tidy_findings=$findings"
[[ $findings -eq 0 ]]
