# shellcheck shell=bash
# Writes the program's settings file for a scripted session. Sourced.
#
# write_settings <name>=<value>...: $XDG_CONFIG_HOME/marrowlink/user.reg with
# those values of the program's key, nothing else. A value written
# dword:<hex> is a number (dword:1, dword:ff000008), any other a string. An
# argument [Subkey] puts the values after it under that subkey (Limits).
# settings_key: the program's key, as the file names it.
settings_key='HKEY_CURRENT_USER\Software\Tavrin\Private\Marrowlink'

write_settings() {
  local file=$XDG_CONFIG_HOME/marrowlink/user.reg setting name value
  mkdir -p "${file%/*}"
  {
    printf 'REGEDIT4\r\n\r\n[%s]\r\n' "$settings_key"
    for setting in "$@"; do
      if [[ $setting =~ ^\[(.+)\]$ ]]; then
        printf '\r\n[%s\\%s]\r\n' "$settings_key" "${BASH_REMATCH[1]}"
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
