#!/usr/bin/env bash
# Fuzzes the preview logo's bitmap decoder for about 20 seconds from small
# bitmaps of every kind it takes (1, 4 and 8 bits with a colour table, 16 bits
# 5-5-5 and 5-6-5, 24 bits bottom-up and top-down, the OS/2 core header, 32
# bits with masks in a version 5 header) and a cut-off copy, failing on any
# crash, sanitizer report, leak, broken round trip or allocation above 64 MB.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/../lib/fuzz.sh"

fuzzer=$(find_fuzzer logo_fuzz)
command -v convert >/dev/null || fail "no ImageMagick convert to write the seed bitmaps"

corpus="$TEST_TMP/corpus"
mkdir -p "$corpus"
picture() { convert -seed 1 -size 13x7 plasma:fractal -compress None "$@"; }
picture -monochrome BMP3:"$corpus/bits1.bmp"
picture -colors 16 -type Palette BMP3:"$corpus/bits4.bmp"
picture -colors 200 -type Palette -depth 8 BMP3:"$corpus/bits8.bmp"
picture -define bmp:subtype=RGB555 BMP3:"$corpus/bits16-555.bmp"
picture -define bmp:subtype=RGB565 BMP:"$corpus/bits16-565.bmp"
picture BMP3:"$corpus/bits24.bmp"
picture BMP2:"$corpus/core.bmp"
picture -alpha set -channel A -fx 0.5 BMP:"$corpus/bits32-v5.bmp"
# The 24-bit one with its height negated: rows top first.
cp "$corpus/bits24.bmp" "$corpus/top-down.bmp"
printf '\371\377\377\377' | dd of="$corpus/top-down.bmp" bs=1 seek=22 conv=notrunc status=none
head -c 100 "$corpus/bits24.bmp" > "$corpus/cut.bmp"

run_fuzzer "$fuzzer" "$corpus" "the logo decoder" 20
