#!/usr/bin/env bash
# Makes the Windows zip of a cross-built program: marrowlink.exe and
# marrowlink-cli.exe (linked statically, libmosquitto included), the Qt DLLs
# and plugins it loads, the MinGW runtime DLLs, README-windows.txt, the task
# file marrowlink-cli-task.xml, and NOTICE.txt with every library in the zip
# and its licence and the licence texts it names, in
# build/windows/marrowlink-3.2-windows-x64.zip (or
# in the given build folder), and the installer made from that zip
# (scripts/windows/msi.sh) beside it.
# Every DLL import of every file in the zip is checked: each must be in the
# zip or be a DLL that Windows itself provides.
#
#   scripts/windows/package.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/../.."

triplet=x86_64-w64-mingw32
build=${1:-build/windows}
fail() {
  echo "windows/package: $*" >&2
  exit 1
}

scripts/install-deps.sh windows-gui
exe=$build/bin/marrowlink.exe
[ -f "$exe" ] || fail "no $exe: build it first (cmake --preset windows && cmake --build --preset windows)"
qt=$(sed -n 's/^MARROWLINK_WINDOWS_QT:PATH=//p' "$build/CMakeCache.txt")
[ -d "$qt/bin" ] || fail "the Qt of $build ('$qt') is not there"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
objdump=$triplet-objdump
command -v "$objdump" >/dev/null || fail "MinGW-w64 is missing ($objdump): apt-get install binutils-mingw-w64-x86-64"

name=marrowlink-$version-windows-x64
zip=$build/$name.zip
stage=$(mktemp -d "${TMPDIR:-/tmp}/marrowlink-zip-XXXXXX")
trap 'rm -rf "$stage"' EXIT
root=$stage/$name
mkdir -p "$root/platforms" "$root/styles"

cp "$exe" "$root/"
cli=$build/bin/marrowlink-cli.exe
if [ -f "$cli" ]; then
  cp "$cli" "$root/"
else
  echo "package-windows: no $cli; the zip holds the window only" >&2
fi
cp "$qt/plugins/platforms/qwindows.dll" "$root/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$root/styles/"

# Where the DLLs that are not Windows' own come from: Qt's bin folder and
# the compiler's runtime (never Wine's).
search=("$qt/bin")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  path=$($triplet-g++-posix -print-file-name="$dll")
  [ -f "$path" ] || fail "MinGW runtime $dll not found"
  search+=("$(dirname "$path")")
done

# DLLs every Windows 10/11 has in System32, and the API sets it resolves.
is_system_dll() {
  case ${1,,} in
    api-ms-win-*.dll | advapi32.dll | authz.dll | comctl32.dll | comdlg32.dll | crypt32.dll | \
      d3d11.dll | d3d12.dll | d3d9.dll | dcomp.dll | dwmapi.dll | dwrite.dll | dxgi.dll | gdi32.dll | \
      imm32.dll | kernel32.dll | mpr.dll | msvcrt.dll | netapi32.dll | ntdll.dll | ole32.dll | \
      oleaut32.dll | opengl32.dll | setupapi.dll | shcore.dll | shell32.dll | shlwapi.dll | \
      user32.dll | userenv.dll | uxtheme.dll | version.dll | winmm.dll | ws2_32.dll | wtsapi32.dll)
      return 0
      ;;
  esac
  return 1
}

imports() {
  "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}

# Follow the imports until every one is in the zip or is Windows' own.
queue=("$root"/*.exe "$root/platforms/qwindows.dll" "$root/styles/qwindowsvistastyle.dll")
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while read -r dll; do
    [ -n "$dll" ] || continue
    is_system_dll "$dll" && continue
    [ -f "$root/$dll" ] && continue
    found=""
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        found=$dir/$dll
        break
      fi
    done
    [ -n "$found" ] || fail "$(basename "$file") needs $dll, which is neither in Qt, nor in the MinGW runtime, nor part of Windows"
    cp "$found" "$root/$dll"
    queue+=("$root/$dll")
  done < <(imports "$file")
done

for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll; do
  [ -f "$root/$dll" ] || fail "$dll is not among the imports: was the program linked against the runtime DLLs?"
done
"$triplet-strip" --strip-unneeded "$root"/*.exe "$root"/*.dll "$root"/*/*.dll

sed "s/@VERSION@/$version/g" packaging/README-windows.txt | sed 's/$/\r/' >"$root/README-windows.txt"
# The task to import with schtasks: in UTF-16 with a byte-order mark, as
# Windows writes task files.
sed 's/$/\r/' packaging/marrowlink-cli-task.xml | iconv -f UTF-8 -t UTF-16LE |
  { printf '\xff\xfe' && cat; } >"$root/marrowlink-cli-task.xml"

# Every library in the zip, named with its licence (NOTICE.txt), and the
# licence texts it names: Qt's LGPL 3 and the code of others inside Qt, the
# GCC and MinGW-w64 runtimes as Debian's copyright files describe them, and
# libmosquitto in marrowlink-cli.exe.
mkdir -p "$root/licenses"
crlf() { sed 's/$/\r/' "$1" >"$2"; }
crlf /usr/share/common-licenses/LGPL-3 "$root/licenses/LGPL-3.txt"
crlf /usr/share/common-licenses/GPL-3 "$root/licenses/GPL-3.txt"
crlf packaging/qt-third-party-windows.txt "$root/licenses/qt-third-party.txt"
for pair in gcc-runtime:gcc-mingw-w64-x86-64-posix-runtime mingw-w64:mingw-w64-x86-64-dev; do
  copyright=/usr/share/doc/${pair#*:}/copyright
  [ -f "$copyright" ] || fail "no $copyright, the licence of what the zip ships of ${pair#*:}"
  crlf "$copyright" "$root/licenses/${pair%%:*}.txt"
done
qt_debian=$(dpkg-query -W -f='${Version}' qt6-base-dev)
notice=(-e "s/@VERSION@/$version/g" -e "s/@QT_VERSION@/${qt_debian%%[+-]*}/g"
  -e "s/@QT_DEBIAN_VERSION@/$qt_debian/g"
  -e "s/@GCC_VERSION@/$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix-runtime)/g"
  -e "s/@MINGW_VERSION@/$(dpkg-query -W -f='${Version}' mingw-w64-x86-64-dev)/g")
if [ -f "$root/marrowlink-cli.exe" ]; then
  licenses=$(sed -n 's/^MARROWLINK_WINDOWS_MOSQUITTO:PATH=//p' "$build/CMakeCache.txt")/share/licenses
  [ -f "$licenses/mosquitto-version" ] || fail "no licence texts of libmosquitto in $licenses"
  for f in LICENSE.txt edl-v10 epl-v20; do
    crlf "$licenses/mosquitto-$f" "$root/licenses/mosquitto-${f%.txt}.txt"
  done
  notice+=(-e "s/@MOSQUITTO_VERSION@/$(cat "$licenses/mosquitto-version")/g" -e '/^@CLI@$/d'
    -e '/^@END CLI@$/d')
else
  notice+=(-e '/^@CLI@$/,/^@END CLI@$/d')
fi
sed "${notice[@]}" packaging/NOTICE-windows.txt | sed 's/$/\r/' >"$root/NOTICE.txt"
grep -q '@[A-Z_ ]*@' "$root/NOTICE.txt" && fail "NOTICE.txt keeps a placeholder: $(grep -o '@[A-Z_ ]*@' "$root/NOTICE.txt" | head -n 1)"

rm -f "$zip"
zip_path=$(realpath -m "$zip")
(cd "$stage" && zip -qr -9 "$zip_path" "$name")
echo "Windows package: $zip ($(du -k "$zip" | cut -f1) KB)"
(cd "$root" && find . -type f | sort | sed 's|^\./|  |')

# The installer, from exactly the files of the zip.
scripts/windows/msi.sh "$zip"
