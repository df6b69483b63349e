#!/bin/bash
# format_bench as a command-line tool: files srec_cat writes load byte for byte, what we save
# loads back (the saved length rounded up to 32 bytes of the buffer's 0xFF), and refused
# files or saves exit nonzero with the box's text on stderr.
set -u
bench=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

head -c 70000 /dev/urandom > data.bin
head -c 4096 /dev/zero | tr '\0' '\377' > ff4k.bin

# name | what srec_cat writes | what the load must give
if command -v srec_cat >/dev/null; then
  while IFS='|' read -r name make expected; do
    eval "$make" || { fail "$name: srec_cat"; continue; }
    "$bench" load in.file out.bin 2>err.txt || { fail "$name: load exited $?: $(cat err.txt)"; continue; }
    eval "$expected" > want.bin
    cmp -s out.bin want.bin || fail "$name: loaded bytes differ"
  done <<'CASES'
i8hex|srec_cat data.bin -binary -crop 0 0x10000 -o in.file -intel -address-length=2|head -c 65536 data.bin
i16hex segments|srec_cat data.bin -binary -o in.file -intel -address-length=3|cat data.bin
i32hex linear, at 0x1000|srec_cat data.bin -binary -offset 0x1000 -o in.file -intel -address-length=4|cat ff4k.bin data.bin
binary as itself|cp data.bin in.file|cat data.bin
CASES
fi

# Our save, loaded back: 70000 is not a multiple of 32, so 16 bytes of 0xFF follow.
if "$bench" save data.bin intel saved.hex 2>err.txt && "$bench" load saved.hex back.bin 2>>err.txt; then
  { cat data.bin; head -c 16 ff4k.bin; } > want.bin
  cmp -s back.bin want.bin || fail "intel save and load: bytes differ"
  if command -v srec_cat >/dev/null; then
    srec_cat saved.hex -intel -o tool.bin -binary && cmp -s tool.bin want.bin ||
      fail "srec_cat reads our Intel Hex differently"
  fi
else
  fail "intel save and load: $(cat err.txt)"
fi
"$bench" save data.bin bin saved.bin && cmp -s saved.bin data.bin || fail "binary save"

# Refusals: exit status and the message.
while IFS='|' read -r name make command message; do
  eval "$make"
  if eval "$command" 2>err.txt; then
    fail "$name: accepted"
  elif ! grep -qF "$message" err.txt; then
    fail "$name: stderr was '$(cat err.txt)'"
  fi
done <<'CASES'
cut-short record|printf ':0300300002337A1E\r\n:0400000001:00000001FF\r\n' > bad.hex|"$bench" load bad.hex out.bin|FORMAT ERROR !
missing file|true|"$bench" load missing.hex out.bin|FILE NOT FOUND !
intel save over 1 MiB|head -c 1048577 /dev/zero > big.bin|"$bench" save big.bin intel big.hex|File Too Big for Intel Format,
unknown save format|true|"$bench" save data.bin s9 x.out|Unknown save format
CASES

[ "$failures" -eq 0 ] && echo "all format_bench cases passed"
exit $((failures > 0))
