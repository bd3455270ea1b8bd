# shellcheck shell=bash
# Writes the program's settings file for a scripted session. Sourced.
#
# write_settings <name>=<value>...: $XDG_CONFIG_HOME/marrowlink/user.reg with
# those values of the program's key, nothing else. A value written
# dword:<hex> is a number (dword:1, dword:ff000008), any other a string. An
# argument [Subkey] puts the values after it under that subkey (Limits).
write_settings() {
  local file=$XDG_CONFIG_HOME/marrowlink/user.reg setting name value
  mkdir -p "${file%/*}"
  {
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink]\r\n'
    for setting in "$@"; do
      if [[ $setting =~ ^\[(.+)\]$ ]]; then
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Tavrin\\Private\\Marrowlink\\%s]\r\n' "${BASH_REMATCH[1]}"
        continue
      fi
      name=${setting%%=*}
      value=${setting#*=}
      if [[ $value =~ ^dword:([0-9a-fA-F]{1,8})$ ]]; then
        printf '"%s"=dword:%08x\r\n' "$name" "0x${BASH_REMATCH[1]}"
      else
        value=${value//\\/\\\\}
        printf '"%s"="%s"\r\n' "$name" "${value//\"/\\\"}"
      fi
    done
  } >"$file"
}
