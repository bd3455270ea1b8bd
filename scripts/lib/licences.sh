# shellcheck shell=bash
# What the installed programs load, checked against packaging/libraries.txt.
#
# check_licences <list> <file>...: every library that ldd lists for the
#   files belongs to a Debian package named in the list, whose licence there
#   is not the GPL alone. Prints each package with its licence, and fails
#   naming every library that is not so.

# gpl_only <licence>: whether every choice the licence leaves ("A or B")
# holds the GPL (or the Affero GPL, not the Lesser) without an exception.
gpl_only() {
  local choice
  local -a choices
  mapfile -t choices < <(sed 's/ or /\n/g' <<<"$1")
  for choice in "${choices[@]}"; do
    grep -Eq '(^|[ (,])A?GPL' <<<"$choice" && ! grep -qi 'exception' <<<"$choice" || return 1
  done
  return 0
}

# The Debian package that holds a library; with the merged /usr a path may
# be registered with or without its /usr.
package_of() {
  local path other owner
  path=$(readlink -f "$1")
  for other in "$1" "$path" "${path#/usr}" "/usr$path"; do
    owner=$(dpkg-query -S "$other" 2>/dev/null | head -n 1) || true
    if [[ -n $owner ]]; then
      echo "${owner%%:*}"
      return 0
    fi
  done
  return 1
}

check_licences() {
  local list=$1 file library package licence failed=0
  shift
  declare -A licences=() seen=()
  while read -r package licence; do
    [[ -z $package || $package == \#* ]] && continue
    licences[$package]=$licence
  done <"$list"
  for file in "$@"; do
    while read -r library; do
      if [[ $library == "not found:"* ]]; then
        echo "licences: $file needs ${library#not found: }, which is not installed" >&2
        failed=1
        continue
      fi
      if ! package=$(package_of "$library") || [[ -z $package ]]; then
        echo "licences: $library (loaded by $file) is in no Debian package" >&2
        failed=1
        continue
      fi
      [[ -n ${seen[$package]:-} ]] && continue
      seen[$package]=$library
      if [[ -z ${licences[$package]:-} ]]; then
        echo "licences: $library (loaded by $file) is from $package, which $list does not list" >&2
        failed=1
      elif gpl_only "${licences[$package]}"; then
        echo "licences: $library (loaded by $file) is from $package, under ${licences[$package]} alone" >&2
        failed=1
      fi
    done < <(ldd "$file" | awk '/=> not found/ { print "not found: " $1; next }
                                /=> \// { print $3; next }
                                /^[[:space:]]*\// { print $1 }')
  done
  for package in $(printf '%s\n' "${!seen[@]}" | sort); do
    printf '  %-22s %s\n' "$package" "${licences[$package]:-(not listed)}"
  done
  return $failed
}
