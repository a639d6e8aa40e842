#!/usr/bin/env bash
# Opens compiled help files in Wine's help viewer, the real consumer of our
# .hlp files: the sample guide and a generated 300-topic source. For each it
# asks the viewer for one topic by context string and checks, from the
# viewer's trace, that the file was read without complaint and that the topic
# was found. Saves a screenshot of the sample's first topic.
#
# Usage: scripts/test_hlp.sh [BUILD_DIR]      (default: build)
# Needs what "scripts/bootstrap hlp" installs (Wine, Xvfb, ImageMagick).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
work="$build/test-hlp"
export WINEPREFIX="$work/wineprefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
convert=/usr/bin/convert  # the real ImageMagick, whatever else is on PATH
failures=0

rm -rf "$work/sample" "$work/large"
mkdir -p "$work/sample" "$work/large"

# A private Wine prefix, made once.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test-hlp: creating the Wine prefix $WINEPREFIX"
  WINEDEBUG=-all xvfb-run -a wineboot -i >"$work/wineboot.log" 2>&1 || true
  WINEDEBUG=-all wineserver -w || true
fi

# The sources: the sample guide and 300 generated topics, compiled by
# quillark to HLP and by quillark-hc to .hlp.
cp "$root"/samples/* "$work/sample/"
python3 "$root/bench/make_source.py" --topics 300 "$work/large/large.txt"
for name in sample/sample large/large; do
  "$build/quillark" -i "$work/$name" -g HLP -c "Quillark $(basename "$name")" >/dev/null
  "$build/quillark-hc" /x "$work/$name.hpj"
done

# The context hash as the viewer prints it: a signed decimal number.
signed_hash() {
  python3 - "$1" <<'PY'
import sys
h = 0
for c in sys.argv[1]:
    v = {'.': 12, '_': 13, '0': 10}.get(c)
    if v is None and c.isdigit(): v = int(c)
    if v is None and c.isascii() and c.isalpha(): v = ord(c.upper()) - ord('A') + 17
    if v: h = (h * 43 + v) & 0xFFFFFFFF
print(h - (1 << 32) if h >= 1 << 31 else h)
PY
}

# Opens FILE at CONTEXT under a virtual display, waits for the page, takes a
# screenshot when SHOT is given, ends the viewer and checks the trace.
view() {
  local file="$1" context="$2" shot="${3:-}" log="${1%.hlp}.viewer.log"
  local fb
  fb="$(mktemp -d)"
  xvfb-run -a -s "-screen 0 1024x768x24 -fbdir $fb" bash -c '
    WINEDEBUG=+winhelp wine winhlp32 -i "$1" "$2" >"$3" 2>&1 &
    for _ in $(seq 60); do
      grep -q "HLPFILE_PageByOffset" "$3" 2>/dev/null && break
      sleep 0.5
    done
    sleep 3
    if [ -n "$4" ]; then "$5" "xwd:$6/Xvfb_screen0" -trim +repage "$4"; fi
    wineserver -k' _ "$context" "$file" "$log" "$shot" "$convert" "$fb" || true
  rm -rf "$fb"

  local hash problems
  hash="$(signed_hash "$context")"
  problems="$(grep -E ':(err|warn):winhelp:' "$log" |
    grep -vE 'DoReadHlpFile maplen|BrowseParagraph jump topic|MACRO_' || true)"
  if ! grep -q 'Got system header: magic=036c version=1.33 flags=0000' "$log"; then
    echo "test-hlp: FAIL $file: the viewer did not read the system header"; failures=$((failures + 1))
  elif [ -n "$problems" ]; then
    echo "test-hlp: FAIL $file: the viewer complained:"; echo "$problems" | head -5
    failures=$((failures + 1))
  elif ! grep -q "Comparing '$hash' with '$hash'" "$log" ||
    grep -A1 "Comparing '$hash' with '$hash'" "$log" | grep -q 'PageByOffset.*\[ffffffff\]'; then
    echo "test-hlp: FAIL $file: topic $context was not found"; failures=$((failures + 1))
  else
    echo "test-hlp: ok   $file: $(grep -c 'Added page' "$log") pages read, topic $context found"
  fi
}

start=$SECONDS
view "$work/sample/sample.hlp" WELCOME "$work/sample/first-topic.png"
view "$work/sample/sample.hlp" IMAGES_IN_TEXT
large_context="$(sed -n 's/^#define \([A-Za-z0-9_]*\) 299\r\?$/\1/p' "$work/large/large.hpj")"
view "$work/large/large.hlp" "$large_context"
echo "test-hlp: screenshot of the sample's first topic: $work/sample/first-topic.png"
echo "test-hlp: viewer runs took $((SECONDS - start)) s"
if [ "$failures" -gt 0 ]; then
  echo "test-hlp: $failures failed"
  exit 1
fi
echo "test-hlp: 3 passed, 0 failed"
