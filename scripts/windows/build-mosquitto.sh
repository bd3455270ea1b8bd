#!/usr/bin/env bash
# Cross-builds libmosquitto, the MQTT client library of marrowlink-cli, for
# x86_64-w64-mingw32 from Debian's source of exactly the version installed
# on this machine, as a static library without TLS (there is no OpenSSL for
# Windows here). The result is cached outside the repository and reused; the
# script prints the cache folder on its last line.
#
#   scripts/windows/build-mosquitto.sh [--print-dir]
#
# --print-dir only prints where the cache is (or would be) and exits.
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=scripts/lib/debian-source.sh
source "$here/../lib/debian-source.sh"

[ "${1:-}" = "--print-dir" ] || "$here/../install-deps.sh" windows

fail() {
  echo "windows/build-mosquitto: $*" >&2
  exit 1
}

version=$(dpkg-query -W -f='${Version}' libmosquitto-dev 2>/dev/null) ||
  fail "libmosquitto-dev is not installed: the Windows build takes the same version's source (apt-get install libmosquitto-dev)"
source_package=$(dpkg-query -W -f='${source:Package}' libmosquitto-dev)
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/marrowlink
prefix=$cache_root/mosquitto-$version-mingw64
if [ "${1:-}" = "--print-dir" ]; then
  echo "$prefix"
  exit 0
fi

complete=$prefix/lib/libmosquitto.a
cached() {
  [ -f "$complete" ] || return 1
  echo "libmosquitto $version for Windows: cached in $prefix"
  echo "$prefix"
}
cached && exit 0

mkdir -p "$cache_root"
# One build at a time: a second run waits and then finds the cache.
exec 9>"$cache_root/.mosquitto-$version-mingw64.lock"
flock 9
cached && exit 0

started=$(date +%s)
work=$cache_root/mosquitto-$version-mingw64.build
mkdir -p "$work"
src=$work/src
fetch_debian_source "$source_package" "$version" "$src" || fail "libmosquitto build failed at the source"

# Only the client library; threading comes from the -posix compilers' own
# pthreads, not from the folder that mosquitto's CMake names for MSVC.
build=$work/build
echo "== Building libmosquitto $version for x86_64-w64-mingw32"
cmake -S "$src" -B "$build" -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$(realpath "$here/../../cmake/mingw-w64.cmake")" \
  -DCMAKE_BUILD_TYPE=Release \
  -DWITH_TLS=OFF -DWITH_CJSON=OFF -DWITH_STATIC_LIBRARIES=ON -DWITH_THREADING=ON \
  -DWITH_BROKER=OFF -DWITH_APPS=OFF -DWITH_CLIENTS=OFF -DWITH_PLUGINS=OFF \
  -DWITH_LIB_CPP=OFF -DDOCUMENTATION=OFF \
  >"$work/configure.log" 2>&1 || {
  tail -n 40 "$work/configure.log" >&2
  fail "libmosquitto build failed at configure (full log: $work/configure.log)"
}
cmake --build "$build" --target libmosquitto_static -j "$(nproc)" >"$work/build.log" 2>&1 || {
  grep -B 2 -A 20 -m 3 'FAILED:' "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2
  fail "libmosquitto build failed at compile (full log: $work/build.log)"
}

# The installed library's CMake rules would install the shared library too,
# which is not built: the few files are placed by hand. The licence texts go
# with it, for the notice of what ships it.
staging=$prefix.partial
rm -rf "$staging"
mkdir -p "$staging/lib" "$staging/include" "$staging/share/licenses"
cp "$build/lib/libmosquitto_static.a" "$staging/lib/libmosquitto.a"
cp "$src/include/mosquitto.h" "$src/include/mqtt_protocol.h" "$staging/include/"
for f in LICENSE.txt edl-v10 epl-v20; do
  cp "$src/$f" "$staging/share/licenses/mosquitto-$f"
done
echo "$version" >"$staging/share/licenses/mosquitto-version"

# Only a complete installation ever carries the cache's name.
rm -rf "$prefix"
mv "$staging" "$prefix"
rm -rf "$work"
elapsed=$(($(date +%s) - started))
printf 'libmosquitto %s for Windows built in %d min %02d s: %s\n' "$version" $((elapsed / 60)) \
  $((elapsed % 60)) "$prefix"
echo "$prefix"
