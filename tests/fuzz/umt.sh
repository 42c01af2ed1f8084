#!/usr/bin/env bash
# Fuzzes the UMT texture decoder for about 30 seconds from seed images
# written by umseeds (raw 24 and 32 bits with frame differences, block-coded
# 24 and 32 bits) and cut-off and resized copies of them, failing on any
# crash, sanitizer report, leak, broken round trip or allocation above 64 MB.
source "$(dirname "$0")/../lib/common.sh"

fuzzer="$TARNWICK_FUZZ_DIR/fuzz/umt_fuzz"
[ -x "$fuzzer" ] || fuzzer="$TARNWICK_FUZZ_DIR/umt_fuzz"
[ -x "$fuzzer" ] || fail "no umt_fuzz in $TARNWICK_FUZZ_DIR (make fuzz builds it)"
seeds="$TARNWICK_BIN_DIR/umseeds"
[ -x "$seeds" ] || fail "no umseeds in $TARNWICK_BIN_DIR"

"$seeds" "$TEST_TMP/seeds" || fail "umseeds could not write the seeds"
corpus="$TEST_TMP/corpus"
mkdir -p "$corpus"
cp "$TEST_TMP"/seeds/umt/*.umt "$corpus/"
head -c 40 "$corpus/block24.umt" > "$corpus/cut.umt"
# A 12 x 10 block-coded header over one block: uncovered pixels stay zero.
{ printf '\014\000\012\000\030\001\000\000\000\000'; tail -c +11 "$corpus/block24.umt" | head -c 66; } > "$corpus/odd.umt"

log="$TEST_TMP/fuzz.log"
note "fuzzing the UMT decoder for 30 s from $(ls "$corpus" | wc -l) seeds"
status=0
(cd "$TEST_TMP" && "$fuzzer" -max_total_time=30 -max_len=4096 -malloc_limit_mb=64 -rss_limit_mb=1024 \
  -artifact_prefix="$TEST_TMP/" -print_final_stats=1 "$corpus") > "$log" 2>&1 || status=$?
tail -n 12 "$log"
if [ "$status" -ne 0 ] || grep -qE "ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:" "$log"; then
  grep -E -m 5 -A 12 "ERROR|runtime error|deadly signal" "$log" >&2 || true
  for a in "$TEST_TMP"/crash-* "$TEST_TMP"/leak-* "$TEST_TMP"/oom-* "$TEST_TMP"/timeout-*; do
    [ -e "$a" ] && { echo "input:" >&2; od -A d -t x1 "$a" | head -n 8 >&2; }
  done
  fail "the UMT decoder fuzzer found a fault (exit $status)"
fi
grep -q "Done [0-9]* runs" "$log" || fail "the fuzzer did not finish its run"
note "no faults"
