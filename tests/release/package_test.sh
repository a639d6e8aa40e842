#!/usr/bin/env bash
# The Debian package that CPack makes: its name, control fields and file list,
# no lintian error, and the program unpacked from it compiles the sample guide.
# Usage: package_test.sh <build folder> <source folder> <version> <program>...
set -euo pipefail
build=$1
source=$2
version=$3
shift 3
programs=("$@")

fail() { echo "$*" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/quillark_package_XXXXXX")
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/cpack" >"$work/cpack.log" 2>&1) ||
  fail "cpack failed: $(cat "$work/cpack.log")"
arch=$(dpkg --print-architecture)
deb="$work/cpack/quillark_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$work/cpack")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quillark ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Recommends)" = fp-utils ] || fail "Recommends: $(field Recommends)"
depends=$(field Depends)
# The programs carry the C++ runtime; they need the C library alone.
for needed in gpp libc6; do
  printf '%s' "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qxF "$needed" ||
    fail "Depends lacks $needed: $depends"
done
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
# Read whole first: a reader that stops early would end dpkg-deb by SIGPIPE,
# which pipefail takes for a failure.
description=$(field Description)
[[ "${description%%$'\n'*}" == *'help compiler'* ]] || fail "Description: $description"
[ "$(printf '%s\n' "$description" | wc -l)" -gt 3 ] || fail "no long description"

# Exactly the files the installation rules name, from the source's own lists.
{
  for program in "${programs[@]}"; do echo "./usr/bin/$program"; done
  for asset in "$source"/assets/*; do echo "./usr/share/quillark/$(basename "$asset")"; done
  for page in "$source"/docs/*.1; do echo "./usr/share/man/man1/$(basename "$page").gz"; done
  echo ./usr/share/doc/quillark/copyright
  echo ./usr/share/doc/quillark/changelog.gz
  for sample in "$source"/samples/*; do echo "./usr/share/doc/quillark/sample/$(basename "$sample")"; done
} | sort >"$work/expected.txt"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort >"$work/actual.txt"
diff -u "$work/expected.txt" "$work/actual.txt" >&2 || fail "the package's files differ (above)"

dpkg-deb -x "$deb" "$work/root"
cmp -s "$source/LICENSE" "$work/root/usr/share/doc/quillark/copyright" || fail "copyright is not LICENSE"
[ "$("$work/root/usr/bin/quillark" --version)" = "Quillark $version" ] || fail "--version"
"$(dirname "$0")/compile_sample.sh" "$work/root/usr/bin/quillark" \
  "$work/root/usr/share/doc/quillark/sample" "$work/run"

# lintian: no error; the remaining warnings are printed for the record.
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || {
  cat "$work/lintian.txt" >&2
  fail "lintian reports errors on $(basename "$deb")"
}
sed 's/^/lintian: /' "$work/lintian.txt"
echo "package $(basename "$deb"): fields, files, unpacked run and lintian checked"
