#!/usr/bin/env bash
# Fuzzes the wave reader for about 30 seconds from a handful of seed waves
# written here (plain PCM, cbSize, a LIST chunk, extensible, 8-bit stereo, a
# cut-off file), failing on any crash, sanitizer report, leak or allocation
# above 64 MB.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/../lib/fuzz.sh"

fuzzer=$(find_fuzzer wave_fuzz)

corpus="$TEST_TMP/corpus"
mkdir -p "$corpus"

# Little-endian numbers as raw bytes.
le16() { printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }
# fmt body: tag channels rate bits [extra bytes]
fmt_body() {
  local tag=$1 ch=$2 rate=$3 bits=$4 extra=${5:-0}
  local align=$((ch * bits / 8))
  le16 "$tag"; le16 "$ch"; le32 "$rate"; le32 $((rate * align)); le16 "$align"; le16 "$bits"
  head -c "$extra" /dev/zero
}
chunk() { # tag file
  local size
  size=$(stat -c %s "$2")
  printf '%s' "$1"; le32 "$size"; cat "$2"
  [ $((size % 2)) -eq 0 ] || printf '\0'
}
riff() { # out chunk-files...
  local out=$1 body="$TEST_TMP/body"
  shift
  { printf 'WAVE'; cat "$@"; } > "$body"
  { printf 'RIFF'; le32 "$(stat -c %s "$body")"; cat "$body"; } > "$out"
}
make_chunk() { # name tag body-command...
  local name=$1 tag=$2
  shift 2
  "$@" > "$TEST_TMP/$name.body"
  chunk "$tag" "$TEST_TMP/$name.body" > "$TEST_TMP/$name.chunk"
}
samples() { head -c "$1" /dev/urandom; }

make_chunk fmt16 'fmt ' fmt_body 1 1 22050 16
make_chunk fmt18 'fmt ' fmt_body 1 2 44100 16 2
make_chunk fmt8 'fmt ' fmt_body 1 2 11025 8
make_chunk ext 'fmt ' eval 'fmt_body 65534 2 48000 16; le16 22; le16 16; le32 3; le32 1;
  printf "\0\0\20\0\200\0\0\252\0\070\233\161"'
make_chunk float 'fmt ' fmt_body 3 1 44100 32
make_chunk data 'data' samples 64
make_chunk odd 'data' samples 33
make_chunk list 'LIST' printf 'INFOINAM\6\0\0\0water\0'

riff "$corpus/plain.wav" "$TEST_TMP/fmt16.chunk" "$TEST_TMP/data.chunk"
riff "$corpus/cbsize.wav" "$TEST_TMP/fmt18.chunk" "$TEST_TMP/data.chunk"
riff "$corpus/list.wav" "$TEST_TMP/fmt16.chunk" "$TEST_TMP/list.chunk" "$TEST_TMP/data.chunk"
riff "$corpus/ext.wav" "$TEST_TMP/list.chunk" "$TEST_TMP/ext.chunk" "$TEST_TMP/odd.chunk"
riff "$corpus/stereo8.wav" "$TEST_TMP/fmt8.chunk" "$TEST_TMP/data.chunk" "$TEST_TMP/list.chunk"
riff "$corpus/float.wav" "$TEST_TMP/float.chunk" "$TEST_TMP/data.chunk"
head -c 50 "$corpus/plain.wav" > "$corpus/cut.wav"

# The target writes each input to a file; in memory when /dev/shm is there.
WAVE_FUZZ_SCRATCH=$(mktemp -d /dev/shm/wave-fuzz.XXXXXX 2>/dev/null || mktemp -d "$TEST_TMP/scratch.XXXXXX")
export WAVE_FUZZ_SCRATCH
on_exit "rm -rf '$WAVE_FUZZ_SCRATCH'"

run_fuzzer "$fuzzer" "$corpus" "the wave reader"
