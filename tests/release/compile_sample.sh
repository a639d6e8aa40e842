#!/usr/bin/env bash
# Compiles the sample guide into every format with -gx, using the given
# program alone, and checks the finished files of each format.
# Usage: compile_sample.sh <program> <folder holding sample.txt> <work folder>
set -euo pipefail
program=$1
samples=$2
work=$3

fail() { echo "$*" >&2; exit 1; }

for format in HLP RTF CHM HTML; do
  dir="$work/$format"
  mkdir -p "$dir"
  cp -r "$samples"/. "$dir"/
  status=0
  (cd "$dir" && "$program" -i sample -g "$format" -gx -c "Quillark sample" \
    -header "Sample - page <page/>" >"$dir/console.txt" 2>&1) || status=$?
  [ "$status" -eq 0 ] || fail "$format: exit status $status: $(cat "$dir/console.txt")"
  listing=$(tr -d '\r' <"$dir/sample.lst")
  case "$format" in
    HLP)
      # Our own WinHelp compiler finishes the help file.
      for f in sample.rtf sample.hpj sample.cnt sample.hlp; do
        [ -s "$dir/$f" ] || fail "HLP: no $f"
      done
      [ "$(head -c 4 "$dir/sample.hlp" | od -An -tx1 | tr -d ' ')" = 3f5f0300 ] ||
        fail "HLP: sample.hlp is not a help file"
      ;;
    RTF)
      [ -s "$dir/sample_out.rtf" ] || fail "RTF: no sample_out.rtf"
      ;;
    CHM)
      [ -s "$dir/sample.chm" ] || fail "CHM: no sample.chm"
      ;;
    HTML)
      [ -s "$dir/sample.html" ] || fail "HTML: no sample.html"
      # The images come from where the program is installed.
      for image in quillark_tree_V.png quillark_book_open.png quillark_button3.bmp; do
        [ -s "$dir/sample/$image" ] || fail "HTML: no $image in sample/"
      done
      ;;
  esac
  printf '%s\n' "$listing" | grep -q 'Warning\|Error\|Fatal' && fail "$format listing: $listing"
  echo "$format: compiled"
done
