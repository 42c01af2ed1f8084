#!/usr/bin/env bash
# Fuzzes the UMF model reader for about 30 seconds from seed models written
# by umseeds (minimal, full with lights and cameras, empty) and cut-off and
# reordered copies of them, failing on any crash, sanitizer report, leak,
# broken round trip or allocation above 64 MB.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/../lib/fuzz.sh"

fuzzer=$(find_fuzzer umf_fuzz)
seeds="$TARNWICK_BIN_DIR/umseeds"
[ -x "$seeds" ] || fail "no umseeds in $TARNWICK_BIN_DIR"

"$seeds" "$TEST_TMP/seeds" || fail "umseeds could not write the seeds"
corpus="$TEST_TMP/corpus"
mkdir -p "$corpus"
cp "$TEST_TMP"/seeds/umf/*.umf "$corpus/"
full="$corpus/full.umf"
head -c 100 "$full" > "$corpus/cut.umf"
head -c $(($(stat -c %s "$full") - 1)) "$full" > "$corpus/short.umf"
# The minimal model with a lone 0xFF after it, and with the materials chunk
# after the objects chunk (its two tag bytes put back).
{ cat "$corpus/minimal.umf"; printf '\377'; } > "$corpus/lone-ff.umf"
{ head -c 8 "$corpus/minimal.umf"; tail -c +64 "$corpus/minimal.umf"; head -c 63 "$corpus/minimal.umf" | tail -c +9; } \
  > "$corpus/late-materials.umf"

run_fuzzer "$fuzzer" "$corpus" "the UMF reader"
