#!/usr/bin/env bash
# Builds the minimal Qt that the Windows program needs (Core, Gui, Widgets,
# the windows platform plugin and its style) for x86_64-w64-mingw32, from
# Debian's source of exactly the Qt installed on this machine, whose host
# tools (moc, uic, rcc) it uses. The result is cached outside the repository
# and reused; the script prints the cache folder on its last line.
#
#   scripts/windows/build-qt.sh [--print-dir]
#
# --print-dir only prints where the cache is (or would be) and exits.
# MARROWLINK_QT_JOBS sets the build's parallelism (default: nproc).
set -euo pipefail
# shellcheck source=scripts/lib/debian-source.sh
source "$(dirname "$0")/../lib/debian-source.sh"

# Printing the cache folder is what CMake asks when it configures: it
# installs nothing.
[ "${1:-}" = "--print-dir" ] || "$(dirname "$0")/../install-deps.sh" windows-gui

triplet=x86_64-w64-mingw32
fail() {
  echo "windows/build-qt: $*" >&2
  exit 1
}

host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) ||
  fail "qt6-base-dev is not installed: its host tools build the Windows Qt (apt-get install qt6-base-dev qt6-base-dev-tools)"
source_package=$(dpkg-query -W -f='${source:Package}' qt6-base-dev)
# 6.4.2+dfsg-10 -> 6.4.2
qt_version=${host_version%%[+-]*}
qt_version=${qt_version#*:}

cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/marrowlink
prefix=$cache_root/qt-$qt_version-mingw64
if [ "${1:-}" = "--print-dir" ]; then
  echo "$prefix"
  exit 0
fi

if [ -f "$prefix/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ]; then
  echo "Qt $qt_version for Windows: cached in $prefix"
  echo "$prefix"
  exit 0
fi

# Step: tools.
for tool in $triplet-gcc-posix $triplet-g++-posix $triplet-windres; do
  command -v "$tool" >/dev/null ||
    fail "MinGW-w64 is missing ($tool not found): apt-get install g++-mingw-w64-x86-64-posix"
done
for tool in cmake ninja dpkg-source; do
  command -v "$tool" >/dev/null || fail "$tool is missing: apt-get install cmake ninja-build dpkg-dev"
done
host_tools=/usr/lib/qt6/libexec
[ -x "$host_tools/moc" ] || fail "Qt's host tools are missing ($host_tools/moc): apt-get install qt6-base-dev-tools"

mkdir -p "$cache_root"
# One build at a time: a second run waits and then finds the cache.
exec 9>"$cache_root/.qt-$qt_version-mingw64.lock"
flock 9
if [ -f "$prefix/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ]; then
  echo "Qt $qt_version for Windows: cached in $prefix"
  echo "$prefix"
  exit 0
fi

started=$(date +%s)
# The build tree stays after a failure, so that a rerun carries on where
# ninja stopped; it goes once the installed Qt is in place.
work=$cache_root/qt-$qt_version-mingw64.build
mkdir -p "$work"

# Step: source.
src=$work/src
fetch_debian_source "$source_package" "$host_version" "$src" || fail "Qt build failed at the source"

# Step: configure. The Qt DLLs and the program share the C++ runtime DLL,
# so nothing here links the runtime statically.
cat >"$work/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triplet-gcc-posix)
set(CMAKE_CXX_COMPILER $triplet-g++-posix)
set(CMAKE_RC_COMPILER $triplet-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triplet)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

staging=$prefix.partial
rm -rf "$staging"
build=$work/build
echo "== Configuring Qt $qt_version for $triplet"
# Debian's source lacks the tablet header that the windows platform plugin
# includes, hence no tablet events; the plugin does not compile without
# OpenGL, which Windows loads at run time only.
cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$staging" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
  -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
  -DFEATURE_testlib=OFF -DFEATURE_tabletevent=OFF -DFEATURE_opengl=ON \
  >"$work/configure.log" 2>&1 || {
  tail -n 40 "$work/configure.log" >&2
  fail "Qt build failed at configure (full log: $work/configure.log)"
}

# Step: build and install.
echo "== Building Qt $qt_version for $triplet (about 1,100 steps)"
cmake --build "$build" -j "${MARROWLINK_QT_JOBS:-$(nproc)}" >"$work/build.log" 2>&1 || {
  grep -B 2 -A 20 -m 3 'FAILED:' "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2
  fail "Qt build failed at compile (full log: $work/build.log); a rerun carries on from there"
}
cmake --install "$build" >"$work/install.log" 2>&1 || {
  tail -n 40 "$work/install.log" >&2
  fail "Qt build failed at install (full log: $work/install.log)"
}
for part in lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake plugins/platforms/qwindows.dll \
  plugins/styles/qwindowsvistastyle.dll; do
  [ -f "$staging/$part" ] || fail "Qt build failed at install: $part is missing"
done

# Only a complete installation ever carries the cache's name; whatever had
# that name without being one goes.
rm -rf "$prefix"
mv "$staging" "$prefix"
rm -rf "$work"
elapsed=$(($(date +%s) - started))
printf 'Qt %s for Windows built in %d min %02d s: %s\n' "$qt_version" $((elapsed / 60)) $((elapsed % 60)) "$prefix"
echo "$prefix"
