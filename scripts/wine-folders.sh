# Sourced by the scripts that need the system folders of a Wine prefix
# (WINEPREFIX set): reg_value reads a registry value, unix_path maps a
# Windows path to the Unix one and windows_path the other way.
#
# The registry is read into a file rather than a pipe: the first Wine
# program of a session starts Wine's services, which keep the standard
# handles they inherit, and a pipe would then not end until they do.
current_version_key='HKLM\Software\Microsoft\Windows\CurrentVersion'

reg_value() { # key value -> the value's text
  local answer
  answer=$(mktemp)
  wine reg query "$1" /v "$2" </dev/null >"$answer" 2>/dev/null || true
  tr -d '\r' <"$answer" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p" | head -n1
  rm -f "$answer"
}

unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }

windows_path() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
