#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: once in
# the default configuration (everything but the end-to-end tests), the unit
# tests once more in Release, once with the address and undefined-behaviour
# sanitizers (everything, end-to-end tests included, so they run once and
# under the sanitizers), and last the layers below the GUI cross-built for
# Windows and run under Wine. The .deb is built from the Release build and
# tried out on this machine; clang-tidy checks the sources the change touches.
set -euo pipefail
cd "$(dirname "$0")/.."

# Everything up front, so that no step stops halfway for a package.
scripts/install-deps.sh test

jobs=$(nproc)
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs" -LE e2e

# The unit tests once more, optimised: optimisation finds faults that Debug
# hides. The .deb of this build, as users get it, checked by lintian,
# installed and started under Xvfb, then removed.
cmake --preset release-tests >/dev/null
cmake --build --preset release-tests -j "$jobs"
ctest --preset release-tests -j "$jobs" -L unit
scripts/package.sh --remove build/release-tests

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

# clang-tidy over the sources this change touches.
scripts/clang-tidy.sh --changed

# Hardening: every fuzz target a few seconds on its corpus, a one-minute
# chaos run of the sanitizer build against the misbehaving simulator, and a
# scripted session of the program under valgrind.
fuzz/run.sh 5
scripts/chaos.sh 60 build/sanitize
scripts/memcheck.sh build/default
scripts/windows/test.sh
