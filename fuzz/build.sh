#!/usr/bin/env bash
# Builds the fuzz target of the BMP reader with libFuzzer and the address and
# undefined-behaviour sanitizers, and lays out a seed corpus of small bitmaps.
# Not part of the CMake build or `make test`.
#
#   fuzz/build.sh [output folder]          (default: build-fuzz)
#   build-fuzz/bmp_fuzz build-fuzz/corpus -max_len=20000 -max_total_time=300
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-fuzz}
mkdir -p "$out/corpus"

clang++ -std=c++20 -g -O1 -Wall -Wextra -Wpedantic -Werror \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root/src" "$root/fuzz/bmp_fuzz.cpp" "$root/src/helpdib/bmp.cpp" -o "$out/bmp_fuzz"

# Little-endian fields for printf: u16 and u32 as \x escapes.
u16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)); }
u32() { printf '%s%s' "$(u16 $(($1 & 65535)))" "$(u16 $(($1 >> 16)))"; }

# seed NAME WIDTH HEIGHT BITS: a Windows bitmap with its palette and pixels.
seed() {
  local name=$1 width=$2 height=$3 bits=$4 palette=0
  case $bits in 1) palette=8 ;; 4) palette=64 ;; 8) palette=1024 ;; esac
  local row=$(((width * bits + 31) / 32 * 4))
  local offset=$((54 + palette)) pixels=$((row * height))
  {
    printf "BM$(u32 $((offset + pixels)))$(u32 0)$(u32 $offset)"
    printf "$(u32 40)$(u32 "$width")$(u32 "$height")$(u16 1)$(u16 "$bits")"
    head -c 24 /dev/zero
    head -c $((palette + pixels)) /dev/urandom
  } >"$out/corpus/$name"
}
seed win1 9 3 1
seed win4 5 2 4
seed win8 4 4 8
seed win24 3 2 24
seed win32 2 2 32
# An OS/2 bitmap of 2 x 2 pixels, 24 bits deep.
{
  printf "BM$(u32 38)$(u32 0)$(u32 26)$(u32 12)$(u16 2)$(u16 2)$(u16 1)$(u16 24)"
  head -c 12 /dev/urandom
} >"$out/corpus/os2"

echo "Built $out/bmp_fuzz; seeds in $out/corpus"
