#!/usr/bin/env bash
# Compiles one source into an HTML Help project with quillark, the project into
# a .chm with quillark-chm, and reads the .chm back with chmlib's tools and
# 7-Zip: every file of the project must be listed and come back byte for byte.
# Where chmcmd is installed, the project compiled with it must list the same
# files.
#
# Usage: check_readers.sh QUILLARK QUILLARK_CHM sample|golden|generated
# Exit status: 0 passed, 1 failed (each fault told on standard error), 77 a
# reader is not installed.
set -uo pipefail

absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
quillark="$(absolute "$1")"
quillark_chm="$(absolute "$2")"
case_name="$3"
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

for tool in enum_chmLib extract_chmLib test_chmLib 7z cmp; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "check_readers: $tool is not installed (scripts/bootstrap installs it)" >&2
    exit 77
  fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/quillark-chm-readers.XXXXXX")"
trap 'rm -rf "$work"' EXIT
faults=0
fault() {
  echo "check_readers ($case_name): $*" >&2
  faults=$((faults + 1))
}

case "$case_name" in
  sample)
    cp "$repo"/samples/* "$work/"
    name=sample
    options=(-c "Quillark sample")
    ;;
  golden)
    cp "$repo/tests/e2e/html_family/book.txt" "$repo/tests/e2e/html_family/logo.bmp" "$work/"
    name=book
    options=(-c "Sample Help" -co "(c) Quillark" -f Verdana,11 -bc Home -bw www.example.com -op)
    ;;
  generated)
    if ! command -v python3 >/dev/null 2>&1; then
      echo "check_readers: python3 is not installed" >&2
      exit 77
    fi
    python3 "$repo/bench/make_source.py" --topics 1000 "$work/big.txt" || exit 1
    name=big
    options=()
    ;;
  *)
    echo "check_readers: unknown case $case_name" >&2
    exit 1
    ;;
esac

(cd "$work" && "$quillark" -i "$name" -g CHM "${options[@]}" >/dev/null) || {
  echo "check_readers ($case_name): quillark failed" >&2
  exit 1
}
project="$work/temp/$name.hhp"
chm="$work/temp/$name.chm"
rm -f "$chm"
"$quillark_chm" "$project" >/dev/null || {
  echo "check_readers ($case_name): quillark-chm failed on $project" >&2
  exit 1
}

# The project's files: everything quillark wrote into its folder but the
# project itself and the compiled file.
mapfile -t files < <(cd "$work/temp" && ls -1 | grep -v -e '\.hhp$' -e '\.chm$')
[ ${#files[@]} -gt 0 ] || fault "no project files in $work/temp"

unlisted="$(comm -23 <(printf '/%s\n' "${files[@]}" | LC_ALL=C sort) \
                    <(enum_chmLib "$chm" | awk -F'\t' 'NR > 3 { print $NF }' | LC_ALL=C sort))"
[ -z "$unlisted" ] || fault "enum_chmLib does not list: ${unlisted//$'\n'/ }"

# Each reader's copies are compared with the project's files in one go: a
# process per file costs more than the reading itself.
same_files() {  # READER FOLDER
  local differing
  differing="$(diff <(cd "$work/temp" && md5sum -- "${files[@]}") \
                    <(cd "$2" && md5sum -- "${files[@]}" 2>/dev/null) | grep '^<' | head -5)"
  [ -z "$differing" ] || fault "$1 gives other bytes or no file for: ${differing//$'\n'/; }"
}

mkdir -p "$work/chmlib" "$work/lookup" "$work/7z"
extract_chmLib "$chm" "$work/chmlib" >/dev/null 2>&1
same_files extract_chmLib "$work/chmlib"

# test_chmLib finds each name through the directory's index.
for file in "${files[@]}"; do
  test_chmLib "$chm" "/$file" "$work/lookup/$file" >/dev/null 2>&1
  [ -e "$work/lookup/$file" ] || : >"$work/lookup/$file.missing"
done
same_files test_chmLib "$work/lookup"

tested="$(7z t "$chm" 2>&1)"
grep -q '^Everything is Ok' <<<"$tested" || fault "7z t: $(tail -n 5 <<<"$tested")"
7z x -y -o"$work/7z" "$chm" >/dev/null 2>&1 || fault "7z x failed"
same_files "7z x" "$work/7z"

# The user files of a help file as 7-Zip lists them (it reads every listing
# chunk whatever the directory header says): files, without the compilers'
# own, whose names hold "#", "$" or ":".
user_files() {
  7z l -slt "$1" | awk '/^----------/ { body = 1 } body && /^Path = / { path = substr($0, 8) }
                        body && /^Folder = -/ { print path }' |
    grep -v -e '#' -e '\$' -e ':' | LC_ALL=C sort
}

if command -v chmcmd >/dev/null 2>&1; then
  mkdir -p "$work/outside"
  cp "$work"/temp/* "$work/outside/"
  rm -f "$work/outside/$name.chm"
  (cd "$work/outside" && chmcmd "$name.hhp" >/dev/null 2>&1)
  if [ -s "$work/outside/$name.chm" ]; then
    ours="$(user_files "$chm")"
    theirs="$(user_files "$work/outside/$name.chm")"
    [ "$ours" = "$theirs" ] ||
      fault "chmcmd stores other files: $(diff <(echo "$ours") <(echo "$theirs") | grep '^[<>]' | head -5)"
  else
    fault "chmcmd wrote no $name.chm"
  fi
fi

if [ "$faults" -gt 0 ]; then
  echo "check_readers ($case_name): $faults faults in ${#files[@]} files" >&2
  exit 1
fi
echo "check_readers ($case_name): ${#files[@]} files listed and read back by chmlib and 7-Zip"
