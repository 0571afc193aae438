#!/usr/bin/env bash
# The Windows zip holds what it should, as it should:
#
#   zip_test.sh ZIP EXE VERSION LICENSE
#
# exactly LICENSE.txt, README.txt, tarvel.com and tarvel.exe in that order, the programs the build
# made (not older ones), the licence and README with CRLF line ends, the README naming VERSION and every
# option the program's --help lists, and every entry with one time stamp and no extra fields
# (owner ids, access times), so the same commit zips to the same bytes.
set -euo pipefail
if [[ $# -ne 4 ]]; then
  echo "usage: $0 ZIP EXE VERSION LICENSE" >&2
  exit 2
fi
zip="$1" exe="$2" version="$3" license="$4"
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/tarvel-zip-test.XXXXXX")"
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

entries="$(unzip -Z1 "$zip" | tr '\n' ' ')"
[[ "$entries" == "LICENSE.txt README.txt tarvel.com tarvel.exe " ]] ||
  fail "the zip holds '$entries', not 'LICENSE.txt README.txt tarvel.com tarvel.exe '"
unzip -q "$zip" -d "$work"

cmp -s "$exe" "$work/tarvel.exe" || fail "the zip's tarvel.exe is not $exe"
cmp -s "${exe%.exe}.com" "$work/tarvel.com" || fail "the zip's tarvel.com is not ${exe%.exe}.com"
sed 's/$/\r/' "$license" | cmp -s - "$work/LICENSE.txt" ||
  fail "LICENSE.txt is not $license with CRLF line ends"
if grep -q -v $'\r$' "$work/README.txt"; then
  fail "README.txt has lines without CRLF: $(grep -n -v $'\r$' "$work/README.txt" | head -n 3)"
fi
grep -q -F "Version $version." "$work/README.txt" || fail "README.txt does not say 'Version $version.'"

# The options the program itself lists, through the launcher beside it in the zip.
help="$(timeout 60 "$root/scripts/wine-run" "$work/tarvel.com" --help | tr -d '\r')" ||
  fail "tarvel.com --help exited with $?"
options="$(grep -o -E -- '--[a-z]+' <<<"$help" | sort -u)"
[[ -n "$options" ]] || fail "tarvel.exe --help lists no options: '$help'"
for option in $options; do
  grep -q -F -- "$option" "$work/README.txt" || fail "README.txt does not mention $option"
done

times="$(unzip -Z -T "$zip" | awk '/^[-d]/ { print $(NF - 1) }' | sort -u)"
[[ $(wc -l <<<"$times") -eq 1 ]] || fail "the entries have several time stamps: $times"
if unzip -Z -v "$zip" | grep 'length of extra field' | grep -q -v ': *0 bytes'; then
  fail "some entries carry extra fields (zip without -X?)"
fi

if [[ $failures -ne 0 ]]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "The zip holds the program, LICENSE.txt and README.txt as it should"
