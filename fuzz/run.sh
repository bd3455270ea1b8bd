#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time, on the
# checked-in seeds plus whatever earlier runs found.
# Usage: fuzz/run.sh [seconds per target, default 60] [target ...]
# Prints one line per target and "fuzz_execs=<N> crashes=<N>"; exits
# non-zero when anything crashed.
set -euo pipefail

command -v clang++ >/dev/null || { echo "clang is missing: scripts/install-deps.sh test installs it" >&2; exit 1; }

seconds="${1:-60}"
shift || true
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Not build/fuzz: a plain "cmake -B build" tree has its fuzz/ folder there.
build="$root/build/fuzz-clang"
all=(regedit_fuzz strtoint_fuzz friendly_name_fuzz text_file_fuzz two_value_fuzz
  echo_strip_fuzz output_log_fuzz)
targets=("$@")
[[ $# -gt 0 ]] || targets=("${all[@]}")

# Every library is instrumented, so coverage guides the search inside them too.
instrument="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$instrument" -DCMAKE_CXX_FLAGS="$instrument" \
  -DMARROWLINK_FUZZ=ON -DMARROWLINK_GUI=OFF -DMARROWLINK_TESTS=OFF >"$build.configure.log" 2>&1 ||
  { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --target "${targets[@]}" >"$build.build.log" 2>&1 ||
  { cat "$build.build.log"; exit 1; }

# The log takes appends longer than its capacity; the others see answers,
# lines and names of a serial tool's sizes.
max_len() {
  case "$1" in
    output_log_fuzz) echo 8192 ;;
    regedit_fuzz) echo 65536 ;;
    *) echo 16384 ;;
  esac
}

total_execs=0
crashes=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  log="$build/$target.log"
  rm -rf "$artifacts"
  mkdir -p "$corpus" "$artifacts"
  seeds=()
  [[ -d "$root/fuzz/corpus/$target" ]] && seeds=("$root/fuzz/corpus/$target")
  dict=()
  [[ -f "$root/fuzz/$target.dict" ]] && dict=(-dict="$root/fuzz/$target.dict")
  # Inputs that crash are kept in the artifacts folder to reproduce with
  # "$build/bin/$target <file>".
  "$build/bin/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
    -rss_limit_mb=2048 -max_len="$(max_len "$target")" -artifact_prefix="$artifacts/" \
    "${dict[@]}" "$corpus" "${seeds[@]}" >"$log" 2>&1 || true
  execs="$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)"
  found="$(find "$artifacts" -type f | wc -l)"
  if [[ -z "$execs" && "$found" -eq 0 ]]; then
    echo "$target did not run; see $log" >&2
    found=1
  fi
  echo "$target: execs=${execs:-0} crashes=$found"
  total_execs=$((total_execs + ${execs:-0}))
  crashes=$((crashes + found))
  if [[ "$found" -ne 0 ]]; then
    echo "$target: crash, see $log and $artifacts" >&2
    grep -m 5 -E "property broken|ERROR:|runtime error" "$log" >&2 || true
  fi
done

echo "fuzz_execs=$total_execs crashes=$crashes"
[[ "$crashes" -eq 0 ]]
