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
  mapfile -t choices <<<"${1// or /$'\n'}"
  for choice in "${choices[@]}"; do
    grep -Eq '(^|[ (,])A?GPL' <<<"$choice" && ! grep -qi 'exception' <<<"$choice" || return 1
  done
  return 0
}

check_licences() {
  local list=$1 file library path name line package licence failed=0
  shift
  declare -A licences=() loader=() owner=() seen=()
  while read -r package licence; do
    [[ -z $package || $package == \#* ]] && continue
    licences[$package]=$licence
  done <"$list"
  # Each library once, with a file that loads it.
  for file in "$@"; do
    while read -r library; do
      [[ -n ${loader[$library]:-} ]] || loader[$library]=$file
    done < <(ldd "$file" | awk '/=> not found/ { print "not found: " $1; next }
                                /=> \// { print $3; next }
                                /^[[:space:]]*\// { print $1 }')
  done
  # Their packages in one look-up: with the merged /usr a library may be
  # registered with or without its /usr, under its own name or its link's.
  local -a paths=()
  declare -A names=()
  for library in "${!loader[@]}"; do
    [[ $library == "not found:"* ]] && continue
    path=$(readlink -f "$library")
    for name in "$library" "$path" "${path#/usr}" "/usr$path"; do
      names[$name]=$library
      paths+=("$name")
    done
  done
  while IFS= read -r line; do
    package=${line%%:*}
    path=${line#*: }
    library=${names[$path]:-}
    [[ -n $library && -z ${owner[$library]:-} ]] && owner[$library]=$package
  done < <(dpkg-query -S "${paths[@]}" 2>/dev/null || true)
  # A "not found: <name>" key holds spaces: one key per line.
  while IFS= read -r library; do
    file=${loader[$library]}
    if [[ $library == "not found:"* ]]; then
      echo "licences: $file needs ${library#not found: }, which is not installed" >&2
      failed=1
      continue
    fi
    package=${owner[$library]:-}
    if [[ -z $package ]]; then
      echo "licences: $library (loaded by $file) is in no Debian package" >&2
      failed=1
      continue
    fi
    seen[$package]=1
    if [[ -z ${licences[$package]:-} ]]; then
      echo "licences: $library (loaded by $file) is from $package, which $list does not list" >&2
      failed=1
    elif gpl_only "${licences[$package]}"; then
      echo "licences: $library (loaded by $file) is from $package, under ${licences[$package]} alone" >&2
      failed=1
    fi
  done < <(printf '%s\n' "${!loader[@]}" | sort)
  for package in $(printf '%s\n' "${!seen[@]}" | sort); do
    printf '  %-22s %s\n' "$package" "${licences[$package]:-(not listed)}"
  done
  return $failed
}
