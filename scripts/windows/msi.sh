#!/usr/bin/env bash
# Makes the Windows installer from the Windows zip, with Debian's wixl:
# exactly the files of the zip's folder, installed for all users into
# Program Files\marrowlink, a Start-menu entry for the window, and an entry
# in Installed apps that removes it. The UpgradeCode never changes, so
# installing a newer version replaces an older one in place. The installer
# writes nothing but its folder, the Start-menu entry and the entry in
# Installed apps (no registry value, no custom action): the settings and
# session records stay as they are through installing, upgrading and
# removing.
#
#   scripts/windows/msi.sh [zip] [version] [msi]
#
# The zip defaults to build/windows/marrowlink-3.2-windows-x64.zip, the
# version to the zip's own, the installer to the zip's name ending in .msi.
set -euo pipefail
# Paths as given, from where the script was started.
[ $# -ge 1 ] && set -- "$(realpath -m "$1")" "${@:2}"
[ $# -ge 3 ] && set -- "$1" "$2" "$(realpath -m "$3")" "${@:4}"
cd "$(dirname "$0")/../.."

zip=${1:-build/windows/marrowlink-3.2-windows-x64.zip}
fail() {
  echo "windows/msi: $*" >&2
  exit 1
}
[ -f "$zip" ] || fail "no $zip (scripts/windows/package.sh makes it)"
name=$(basename "$zip" .zip)
version=${2:-$(sed -E 's/^marrowlink-([0-9.]+)-windows-x64$/\1/' <<<"$name")}
[[ $version =~ ^[0-9]+(\.[0-9]+){1,2}$ ]] || fail "no version in $name; give one (major.minor[.build])"
msi=${3:-${zip%.zip}.msi}
# Never change it: Windows knows the versions of one program by it.
upgrade_code=E3FF47ED-69A8-4C8C-AC83-718340264122

scripts/install-deps.sh windows-gui
stage=$(mktemp -d "${TMPDIR:-/tmp}/marrowlink-msi-XXXXXX")
trap 'rm -rf "$stage"' EXIT
unzip -q "$zip" -d "$stage/files"
shopt -s nullglob dotglob
top=("$stage/files"/*)
if [ ${#top[@]} -ne 1 ] || [ ! -f "${top[0]}/marrowlink.exe" ]; then
  fail "$zip does not hold one folder with marrowlink.exe"
fi

xml() { sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g' <<<"$1"; }
ids=0
components=()
# tree <folder> <indent>: a component for each file of the folder, a
# Directory for each subfolder.
tree() {
  local dir=$1 pad=$2 entry id
  for entry in "$dir"/*; do
    ids=$((ids + 1))
    id=$ids
    if [ -d "$entry" ]; then
      echo "$pad<Directory Id=\"d$id\" Name=\"$(xml "$(basename "$entry")")\">"
      tree "$entry" "$pad  "
      echo "$pad</Directory>"
      continue
    fi
    components+=("c$id")
    echo "$pad<Component Id=\"c$id\" Guid=\"*\" Win64=\"yes\">"
    echo "$pad  <File Id=\"f$id\" KeyPath=\"yes\" Source=\"$(xml "${entry#"$stage/"}")\"/>"
    # The Start-menu entry belongs to the program's file, and goes with it.
    # It names the file itself: inside the File element wixl would make it
    # an advertised one, naming the feature, which Wine's shell cannot start.
    if [ "$entry" = "${top[0]}/marrowlink.exe" ]; then
      echo "$pad  <Shortcut Id=\"menu\" Directory=\"ProgramMenuFolder\" Name=\"Marrowlink\""
      echo "$pad    Description=\"Send commands to a field instrument on a serial port and read its answers\""
      echo "$pad    Target=\"[#f$id]\" WorkingDirectory=\"INSTALLDIR\"/>"
    fi
    echo "$pad</Component>"
  done
}
tree "${top[0]}" "          " >"$stage/files.xml"

cat >"$stage/marrowlink.wxs" <<EOF
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Marrowlink" Manufacturer="marrowlink" Version="$version"
           UpgradeCode="$upgrade_code" Language="1033" Codepage="1252">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"
             Description="Marrowlink $version"
             Comments="Terminal for a field instrument on a serial line"/>
    <Media Id="1" Cabinet="marrowlink.cab" EmbedCab="yes"/>
    <MajorUpgrade DowngradeErrorMessage="A newer version of Marrowlink is already installed."/>
    <Property Id="ARPNOMODIFY" Value="1"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFiles64Folder">
        <Directory Id="INSTALLDIR" Name="marrowlink">
$(cat "$stage/files.xml")
        </Directory>
      </Directory>
      <Directory Id="ProgramMenuFolder"/>
    </Directory>
    <Feature Id="Complete" Level="1">
$(printf '      <ComponentRef Id="%s"/>\n' "${components[@]}")
    </Feature>
  </Product>
</Wix>
EOF
# wixl takes the sources' paths relative to where it runs.
msi=$(realpath -m "$msi")
(cd "$stage" && wixl -a x64 -o "$msi" marrowlink.wxs) || fail "wixl could not build $msi"
echo "Windows installer: $msi ($(du -k "$msi" | cut -f1) KB, version $version, ${#components[@]} files)"
