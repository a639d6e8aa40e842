#!/usr/bin/env bash
# `cmake --install` into a temporary prefix puts every program, the images,
# the man pages, the licence and the sample guide in place, and the installed
# program alone (images found beside it, nothing read from the build or source
# tree) compiles the sample into every format.
# Usage: install_test.sh <build folder> <source folder> <version> <program>...
set -euo pipefail
build=$1
source=$2
version=$3
shift 3
programs=("$@")

fail() { echo "$*" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/quillark_install_XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" --strip >"$work/install.log" ||
  fail "install failed: $(cat "$work/install.log")"

for program in "${programs[@]}"; do
  [ -x "$prefix/bin/$program" ] || fail "no program bin/$program"
done
for asset in "$source"/assets/*; do
  cmp -s "$asset" "$prefix/share/quillark/$(basename "$asset")" ||
    fail "image $(basename "$asset") not in share/quillark"
done
for page in "$source"/docs/*.1; do
  zcat "$prefix/share/man/man1/$(basename "$page").gz" | cmp -s - "$page" ||
    fail "man page $(basename "$page") not in share/man/man1"
done
cmp -s "$source/LICENSE" "$prefix/share/doc/quillark/copyright" || fail "no licence"
for sample in "$source"/samples/*; do
  cmp -s "$sample" "$prefix/share/doc/quillark/sample/$(basename "$sample")" ||
    fail "sample file $(basename "$sample") not in share/doc/quillark/sample"
done

[ "$("$prefix/bin/quillark" --version)" = "Quillark $version" ] ||
  fail "--version says \"$("$prefix/bin/quillark" --version)\", not \"Quillark $version\""

"$(dirname "$0")/compile_sample.sh" "$prefix/bin/quillark" "$prefix/share/doc/quillark/sample" \
  "$work/run"
echo "installed prefix: programs ${programs[*]}, images, man pages, licence, sample; sample compiled"
