#!/usr/bin/env bash
# Fuzzes the UMT texture decoder for about 30 seconds from seed images
# written by umseeds (raw 24 and 32 bits with frame differences, block-coded
# 24 and 32 bits) and cut-off and resized copies of them, failing on any
# crash, sanitizer report, leak, broken round trip or allocation above 64 MB.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/../lib/fuzz.sh"

fuzzer=$(find_fuzzer umt_fuzz)
seeds="$TARNWICK_BIN_DIR/umseeds"
[ -x "$seeds" ] || fail "no umseeds in $TARNWICK_BIN_DIR"

"$seeds" "$TEST_TMP/seeds" || fail "umseeds could not write the seeds"
corpus="$TEST_TMP/corpus"
mkdir -p "$corpus"
cp "$TEST_TMP"/seeds/umt/*.umt "$corpus/"
head -c 40 "$corpus/block24.umt" > "$corpus/cut.umt"
# A 12 x 10 block-coded header over one block: uncovered pixels stay zero.
{ printf '\014\000\012\000\030\001\000\000\000\000'; tail -c +11 "$corpus/block24.umt" | head -c 66; } > "$corpus/odd.umt"

run_fuzzer "$fuzzer" "$corpus" "the UMT decoder"
