#!/usr/bin/env bash
# quillark.exe under Wine writes the same bytes as the Linux build: the
# whole-run expected files of tests/e2e (with the folder in Windows form), and
# the sample guide in every format compared file by file with the Linux
# program's output (the time that <now/> gives aside).
# Usage: golden_test.sh <quillark.exe> <Linux quillark> <source folder>
# Needs WINEPREFIX set up with gpp.exe in C:\Windows (make test-windows does it).
set -euo pipefail
absolute() { printf '%s/%s' "$(cd "$(dirname "$1")" && pwd)" "$(basename "$1")"; }
exe=$(absolute "$1")
linux_program=$(absolute "$2")
source=$(cd "$3" && pwd)
e2e="$source/tests/e2e"

work=$(mktemp -d "${TMPDIR:-/tmp}/quillark_golden_XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
checked=0

# The Windows form of a folder, as the program sees it through drive Z:.
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

run_exe() {  # folder, arguments...
  local folder=$1
  shift
  (cd "$folder" && wine "$exe" "$@" >"$folder/.console" 2>&1) ||
    { echo "quillark.exe $* in $folder: exit status $?" >&2; cat "$folder/.console" >&2; return 1; }
}

# The expected file with {DIR} (always followed by "/") as the Windows folder,
# {DATE} as today, and with crlf set every bare LF as CR LF.
expected() {  # file, folder, crlf
  DIR="$(windows_path "$2")\\" DATE="$(date +%Y-%m-%d)" CRLF="$3" perl -0777 -pe '
    s/\{DIR\}\//$ENV{DIR}/g; s/\{DATE\}/$ENV{DATE}/g;
    s/(?<!\r)\n/\r\n/g if $ENV{CRLF} eq "yes";' "$1"
}

compare() {  # written file, expected file, folder, crlf
  checked=$((checked + 1))
  if ! expected "$2" "$3" "$4" | cmp -s - "$1"; then
    echo "differs: $1 (expected ${2#"$e2e"/})" >&2
    expected "$2" "$3" "$4" | diff <(cat "$1") - | head -20 >&2 || true
    failures=$((failures + 1))
  fi
}

# HLP and RTF of one source, every file beside it.
for format in hlp rtf; do
  dir="$work/rtf_family_$format"
  mkdir -p "$dir"
  cp "$e2e/rtf_family/book.txt" "$e2e/rtf_family/pic.bmp" "$dir/"
  run_exe "$dir" -i book -g "$format" -c "Sample Help" -co "(c) Quillark" -f Verdana,11 \
    -h1 "Times New Roman,20" -header "Page <page/>" -footer 'Foot\nnote' -op
  for file in "$e2e/rtf_family/expected/$format"/*; do
    compare "$dir/$(basename "$file")" "$file" "$dir" no
  done
done

# CHM and HTML: the listing beside the source, the rest in the pages folder.
for format in chm html; do
  dir="$work/html_family_$format"
  mkdir -p "$dir"
  cp "$e2e/html_family/book.txt" "$e2e/html_family/logo.bmp" "$dir/"
  run_exe "$dir" -i book -g "$format" -c "Sample Help" -co "(c) Quillark" -f Verdana,11 \
    -bc Home -bw www.example.com -header "Page <page/>" -footer Foot -op
  pages=$([ "$format" = chm ] && echo temp || echo book)
  for file in "$e2e/html_family/expected/$format"/*; do
    name=$(basename "$file")
    written="$dir/$pages/$name"
    [ "$name" = book.lst ] && written="$dir/$name"
    compare "$written" "$file" "$dir" no
  done
done

# Faults sorted in the listing, with the table dumps.
dir="$work/structure"
mkdir -p "$dir"
cp "$e2e/structure/book.txt" "$dir/"
run_exe "$dir" -i book -g NONE -v
compare "$dir/book.lst" "$e2e/structure/book.lst" "$dir" yes

# Example pages of both HTML formats, with a borrowed topic.
for format in HTML CHM; do
  dir="$work/finishing_$format"
  mkdir -p "$dir"
  cp "$e2e/finishing/book_example.txt" "$dir/book.txt"
  cp "$e2e/finishing/other.txt" "$dir/"
  run_exe "$dir" -i book -g "$format" -co "Copyright Me"
  if [ "$format" = HTML ]; then
    compare "$dir/book/INTRO_example.html" "$e2e/finishing/expected/INTRO_example.html" "$dir" yes
  else
    compare "$dir/temp/INTRO_example.xhtml" "$e2e/finishing/expected/INTRO_example.xhtml" "$dir" yes
  fi
done

# The sample guide in every format by both programs: every file the same once
# the folder and the run's time are put in one form.
normalise() {  # folder, folder prefix as the program writes it
  PREFIX="$2" perl -0777 -pi -e '
    s/\Q$ENV{PREFIX}\E/{DIR}\//g;
    s/\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{4}/{NOW}/g;' $(find "$1" -type f)
}
for format in HLP RTF CHM HTML; do
  for side in linux windows; do
    dir="$work/sample/$side/$format"
    mkdir -p "$dir"
    cp -r "$source/samples/." "$dir/"
  done
  (cd "$work/sample/linux/$format" &&
    "$linux_program" -i sample -g "$format" -c "Quillark sample" -header "Page <page/>" >/dev/null)
  run_exe "$work/sample/windows/$format" -i sample -g "$format" -c "Quillark sample" \
    -header "Page <page/>"
  # The .pp file is gpp's own output, which the Windows gpp.exe writes with
  # CR LF line ends; the program reads both alike.
  rm -f "$work/sample/windows/$format/.console" "$work/sample"/*/"$format"/sample.pp
  normalise "$work/sample/linux/$format" "$work/sample/linux/$format/"
  normalise "$work/sample/windows/$format" "$(windows_path "$work/sample/windows/$format")\\"
  checked=$((checked + $(find "$work/sample/linux/$format" -type f | wc -l)))
  if ! diff -r "$work/sample/linux/$format" "$work/sample/windows/$format" >"$work/diff.txt"; then
    echo "sample in $format: the two programs wrote different files" >&2
    head -40 "$work/diff.txt" >&2
    failures=$((failures + 1))
  fi
done

echo "$((checked - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
