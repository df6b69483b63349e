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
s-records (S2)|srec_cat data.bin -binary -o in.file -motorola|cat data.bin
s-records (S3) at 0x1000|srec_cat data.bin -binary -offset 0x1000 -o in.file -motorola -address-length=4|cat ff4k.bin data.bin
tektronix|srec_cat data.bin -binary -crop 0 0x10000 -o in.file -tektronix|head -c 65536 data.bin
binary as itself|cp data.bin in.file|cat data.bin
CASES
fi

# Our saves, loaded back by us and by srec_cat: 70000 is not a multiple of 32, so 16 bytes of
# the buffer's 0xFF follow; the 64 KiB formats take a 64 KiB file.
head -c 65536 data.bin > data64k.bin
while IFS='|' read -r format input tool expected; do
  if ! "$bench" save "$input" "$format" saved.txt 2>err.txt || ! "$bench" load saved.txt back.bin 2>>err.txt; then
    fail "$format save and load: $(cat err.txt)"
    continue
  fi
  eval "$expected" > want.bin
  cmp -s back.bin want.bin || fail "$format save and load: bytes differ"
  if command -v srec_cat >/dev/null; then
    srec_cat saved.txt "$tool" -o tool.bin -binary && cmp -s tool.bin want.bin ||
      fail "srec_cat reads our $format differently"
  fi
done <<'CASES'
intel|data.bin|-intel|cat data.bin; head -c 16 ff4k.bin
s2|data.bin|-motorola|cat data.bin; head -c 16 ff4k.bin
s3|data.bin|-motorola|cat data.bin; head -c 16 ff4k.bin
s1|data64k.bin|-motorola|cat data64k.bin
tek|data64k.bin|-tektronix|cat data64k.bin
CASES
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
s1 save over 64 KiB|true|"$bench" save data.bin s1 x.s19|File Too Big for Motorola %S[S1],
tek save over 64 KiB|true|"$bench" save data.bin tek x.tek|File Too Big for Tektlonix Format,
unknown save format|true|"$bench" save data.bin s9 x.out|Unknown save format
CASES

# A save that runs out of room (a file-size limit, its signal ignored, stands in for a full
# disk) exits 1 and leaves the file it would have replaced as it was, with no temporary beside it.
mkdir full
printf 'the old file\n' > old.txt
for format in bin intel s1 s2 s3 tek; do
  cp old.txt full/kept.out
  bash -c 'trap "" XFSZ; ulimit -f 1; exec "$@"' full "$bench" save data64k.bin "$format" full/kept.out 2>err.txt
  status=$?
  [ "$status" -eq 1 ] || fail "$format save on a full disk exited $status: $(cat err.txt)"
  cmp -s full/kept.out old.txt || fail "$format save on a full disk lost the old file"
  [ "$(ls -A full)" = kept.out ] || fail "$format save on a full disk left $(ls -A full)"
done

# The commands make none of the benchmarks' 16 MiB files: under a 4 MiB limit on what they
# may write, such a file would end the process.
(ulimit -f 4096 && "$bench" load data.bin out.bin && "$bench" save data.bin intel small.hex) 2>err.txt ||
  fail "a command wrote past 4 MiB: $(cat err.txt)"

[ "$failures" -eq 0 ] && echo "all format_bench cases passed"
exit $((failures > 0))
