#!/usr/bin/env bash
# The man page is clean for groff and names every switch of the usage text
# that the program prints, so the two cannot drift apart.
# Usage: man_page_test.sh <man page> <program>
set -euo pipefail
page=$1
program=$2

warnings=$(groff -man -ww -z "$page" 2>&1)
if [ -n "$warnings" ]; then
  echo "groff warns about $page:" >&2
  echo "$warnings" >&2
  exit 1
fi

usage=$("$program" -h)
# The switches stand at the start of the explaining lines ("-c ... Specifies")
# and in brackets in the synopsis ("[-c <caption>]").
switches=$(printf '%s\n' "$usage" | grep -oE '(^|[[ ])-[A-Za-z?]+' | sed 's/^[[ ]//' | sort -u)
count=$(printf '%s\n' "$switches" | grep -c .)
if [ "$count" -lt 10 ]; then
  echo "found only $count switches in the usage text:" >&2
  printf '%s\n' "$usage" >&2
  exit 1
fi

text=$(groff -man -Tascii -P-cbu "$page" 2>/dev/null)
missing=0
for switch in $switches --version; do
  pattern="(^|[^A-Za-z0-9-])$(printf '%s' "$switch" | sed 's/[?]/[?]/g')([^A-Za-z0-9]|$)"
  if ! printf '%s\n' "$text" | grep -qE -- "$pattern"; then
    echo "the man page does not mention $switch" >&2
    missing=1
  fi
done
[ "$missing" -eq 0 ] || exit 1
echo "man page: groff clean, all $count switches of the usage text and --version named"
