#!/usr/bin/env bash
# The installer under Wine, in a Wine prefix of its own that is removed afterwards:
#
#   msi_install_test.sh MSI VERSION WXS STAGE SOURCE_DIR ICON
#
# installs MSI quietly for the current user and checks the program and its command-prompt
# launcher, its Start-menu shortcut, the icon Add/Remove Programs shows and the uninstall entry
# are there and that the installed program (through the launcher) says it is VERSION; removes it
# and checks every one of them is gone; then installs it again, installs over it an MSI of the
# next major version built from WXS and the files in STAGE, checks that this replaced it rather
# than installing beside it, that the older one then refuses to install, and removes the newer
# one.
set -euo pipefail
if [[ $# -ne 6 ]]; then
  echo "usage: $0 MSI VERSION WXS STAGE SOURCE_DIR ICON" >&2
  exit 2
fi
msi="$(realpath "$1")" version="$2" wxs="$(realpath "$3")" stage="$(realpath "$4")"
source_dir="$(realpath "$5")" icon="$(realpath "$6")"
wine_run="$source_dir/scripts/wine-run"

WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/tarvel-msi-prefix.XXXXXX")"
export WINEPREFIX
# No menu entries or icons for the host's desktop (winemenubuilder), no browser or .NET engine.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
work="$(mktemp -d "${TMPDIR:-/tmp}/tarvel-msi-work.XXXXXX")"
clean_up() {
  "$wine_run" --kill 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$work"
}
trap clean_up EXIT
trap 'exit 143' TERM INT HUP

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# Every Wine call has a time limit, so a dialog nobody can answer cannot hang the test.
wine() {
  timeout --kill-after=5 60 "$wine_run" "$@"
}
windows_path() {
  local path="Z:$1"
  echo "${path//\//\\}"
}
product_code() {
  msiinfo export "$1" Property | tr -d '\r' | awk -F '\t' '$1 == "ProductCode" { print $2 }'
}
# The value of NAME in the uninstall entry of product CODE, wherever this Windows keeps it (the
# current user's hive for a per-user install; Wine writes it to the machine's).
uninstall_value() {
  local code="$1" name="$2" root
  for root in HKCU HKLM; do
    if wine reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code" \
        /v "$name" >"$work/reg.txt" 2>/dev/null; then
      tr -d '\r' <"$work/reg.txt" | sed -n "s/^ *$name  *REG_[A-Z_]*  *//p"
      return 0
    fi
  done
  return 1
}
install() {
  local status=0
  wine msiexec /i "$(windows_path "$1")" /qn || status=$?
  [[ $status -eq 0 ]] || fail "msiexec /i $(basename "$1") exited with $status"
}
uninstall() {
  local status=0
  wine msiexec /x "$(windows_path "$1")" /qn || status=$?
  [[ $status -eq 0 ]] || fail "msiexec /x $(basename "$1") exited with $status"
}

code="$(product_code "$msi")"
[[ -n "$code" ]] || { echo "FAIL: no ProductCode in $msi" >&2; exit 1; }

# The user's folders as this prefix names them.
unix_folder() {
  wine winepath -u "$(wine cmd /c echo "%$1%" | tr -d '\r\n')" | tr -d '\r\n'
}
local_app_data="$(unix_folder LOCALAPPDATA)"
app_data="$(unix_folder APPDATA)"
[[ -d "$local_app_data" && -d "$app_data" ]] || {
  echo "FAIL: no user folders in the new prefix ('$local_app_data', '$app_data')" >&2
  exit 1
}
install_dir="$local_app_data/Programs/Tarvel"
shortcut="$app_data/Microsoft/Windows/Start Menu/Programs/Tarvel.lnk"

check_installed() {
  local code="$1" version="$2" file value
  for file in tarvel.exe tarvel.com LICENSE.txt README.txt; do
    [[ -f "$install_dir/$file" ]] || fail "$install_dir/$file was not installed"
  done
  [[ -f "$shortcut" ]] || fail "no Start-menu shortcut $shortcut"
  # A shell link keeps its target's full path in the code page, its icon's in UTF-16.
  if ! LC_ALL=C grep -q -a -F 'Programs\Tarvel\tarvel.exe' "$shortcut"; then
    fail "the shortcut does not point at Programs\\Tarvel\\tarvel.exe"
  fi
  if ! x86_64-w64-mingw32-strings -a -e l "$shortcut" | grep -q -F "\\$code\\tarvel.ico"; then
    fail "the shortcut does not show the product icon"
  fi
  cmp -s "$icon" "$app_data/Microsoft/Installer/$code/tarvel.ico" ||
    fail "the product icon of $code is not the game's icon"
  value="$(uninstall_value "$code" DisplayName)" || fail "no uninstall entry for $code"
  [[ "$value" == Tarvel ]] || fail "uninstall entry DisplayName is '$value', not 'Tarvel'"
  value="$(uninstall_value "$code" DisplayVersion)" || true
  [[ "$value" == "$version" ]] || fail "uninstall entry DisplayVersion is '$value', not '$version'"
  value="$(uninstall_value "$code" Publisher)" || true
  [[ "$value" == "Tarvel developers" ]] || fail "uninstall entry Publisher is '$value'"
}
check_removed() {
  local code
  [[ ! -e "$install_dir" ]] || fail "$install_dir is still there after removal"
  [[ ! -e "$shortcut" ]] || fail "the Start-menu shortcut is still there after removal"
  for code in "$@"; do
    ! uninstall_value "$code" DisplayName >/dev/null || fail "the uninstall entry $code is left"
    [[ ! -e "$app_data/Microsoft/Installer/$code" ]] || fail "the product icon of $code is left"
  done
  ! wine reg query 'HKCU\Software\Tarvel developers' >/dev/null 2>&1 ||
    fail "HKCU\\Software\\Tarvel developers is left after removal"
}

echo "Installing $(basename "$msi") ($code)"
install "$msi"
check_installed "$code" "$version"
said="$(wine "$(windows_path "$install_dir/tarvel.com")" --version | tr -d '\r')" ||
  fail "the installed tarvel.com --version exited with $?"
[[ "$said" == "tarvel $version" ]] || fail "the installed program says '$said', not 'tarvel $version'"

echo "Removing it"
uninstall "$msi"
check_removed "$code"

# The next major version, from the same .wxs and files: it must take the place of this one.
next_version="$((${version%%.*} + 1)).0"
next_msi="$work/tarvel-$next_version.msi"
(cd "$stage" && wixl --arch x64 --define "Version=$next_version" \
  --define "SourceDir=$(realpath --relative-to="$stage" "$source_dir")" --define StageDir=. \
  --output "$next_msi" "$wxs")
next_code="$(product_code "$next_msi")"
echo "Installing $(basename "$msi") again, then $next_version ($next_code) over it"
install "$msi"
install "$next_msi"
check_installed "$next_code" "$next_version"
! uninstall_value "$code" DisplayName >/dev/null ||
  fail "$version's uninstall entry is left beside $next_version's: no major upgrade"
echo "Installing $(basename "$msi") over $next_version, which must refuse"
if wine msiexec /i "$(windows_path "$msi")" /qn; then
  fail "$version installed over $next_version"
fi
! uninstall_value "$code" DisplayName >/dev/null || fail "$version was installed beside $next_version"
[[ "$(uninstall_value "$next_code" DisplayVersion)" == "$next_version" ]] ||
  fail "$next_version is no longer installed after the refused downgrade"
uninstall "$next_msi"
check_removed "$code" "$next_code"

if [[ $failures -ne 0 ]]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "The installer installs, upgrades and removes the game"
