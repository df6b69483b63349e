#!/usr/bin/env bash
# Writes the file-reader seeds: real Intel Hex, Motorola S and Tektronix files made by
# srec_cat, a small image through objcopy, each behind the few input bytes its target reads
# first (buffer size, choices). Run from anywhere; the files are checked in.
set -euo pipefail
seeds=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# prefix BYTES...: the target's leading bytes, written as octal escapes.
prefix() { local b out=""; for b in "$@"; do out+=$(printf '\\%03o' "$b"); done; printf "$out"; }
# seed TARGET NAME PREFIX-BYTES... < body
seed() {
  local target=$1 name=$2; shift 2
  mkdir -p "$seeds/$target"
  { prefix "$@"; cat; } >"$seeds/$target/$name"
}

srec() { srec_cat "$@"; }
# Buffer of 64 KiB for the two-byte prefixes (0x1000 * 16); 0xFFFF for Intel Hex.
srec -generate 0 0x40 -repeat-data 1 2 3 4 5 -o - -intel -address-length=2 | seed intel_hex_fuzz i16 0xFF 0xFF 0 0
srec -generate 0x12340 0x12380 -repeat-data 0xA5 0x5A -o - -intel -address-length=3 | seed intel_hex_fuzz segment 0xFF 0xFF 1 1
srec -generate 0xFFF0 0x10010 -repeat-data 7 8 -o - -intel -address-length=4 | seed intel_hex_fuzz linear 0xFF 0xFF 3 0
srec -generate 0 0x30 -repeat-data 1 2 3 -o - -motorola -address-length=2 -header seed | seed motorola_fuzz s1 0 0x10
srec -generate 0x1F0 0x230 -repeat-data 0xAA 0x55 -o - -motorola -address-length=3 -header seed | seed motorola_fuzz s2 0 0x10
srec -generate 0xFFE0 0x10020 -repeat-data 9 -o - -motorola -address-length=4 -header seed -execution-start-address=0x10 | seed motorola_fuzz s3 0 0x10
srec -generate 0 0x30 -repeat-data 1 2 3 4 5 -o - -tektronix | seed tektronix_fuzz srec 0 0x10
srec -generate 0xFF00 0xFF40 -repeat-data 0xC3 -o - -tektronix | seed tektronix_fuzz high 0 0x10

# objcopy turns a raw image into Intel Hex and S-records as a toolchain would.
printf 'objcopy seed image\000\001\002\003' >"$work/image.bin"
objcopy -I binary -O ihex "$work/image.bin" "$work/image.hex"
objcopy -I binary -O srec "$work/image.bin" "$work/image.srec"
seed intel_hex_fuzz objcopy 0xFF 0xFF 0 0 <"$work/image.hex"
seed motorola_fuzz objcopy 0 0x10 <"$work/image.srec"

# Detection sees whole files with nothing in front.
cp "$work/image.hex" "$seeds/detect_fuzz/intel-objcopy"
cp "$work/image.srec" "$seeds/detect_fuzz/motorola-objcopy"
srec -generate 0 0x20 -repeat-data 1 2 -o - -tektronix >"$seeds/detect_fuzz/tektronix"
dd if="$seeds/jedec_fuzz/fuses" of="$seeds/detect_fuzz/jedec" bs=1 skip=3 status=none

# Binary: source start 0, end 0x20, then none / even / odd split.
for split in 0 1 2; do
  { prefix 0 0 0 0 0x20 0 0 0 "$split"; cat "$work/image.bin"; } >"$work/b$split"
  mkdir -p "$seeds/binary_fuzz"; cp "$work/b$split" "$seeds/binary_fuzz/split$split"
done
# A small MS-DOS .exe: "MZ", bytes on last page, pages, no relocations, 2-paragraph header.
mkdir -p "$seeds/exe_fuzz"
{ prefix 0x4D 0x5A 0x30 0 1 0 0 0 2 0 0 0 0xFF 0xFF 0 0 0 1 0 0 0 0 0 0 0x1C 0 0 0 0 0 0 0
  cat "$work/image.bin"; } >"$seeds/exe_fuzz/small"
