#!/usr/bin/env bash
# Fuzzes the UMF model reader for about 30 seconds from seed models written
# by umseeds (minimal, full with lights and cameras, empty) and cut-off and
# reordered copies of them, failing on any crash, sanitizer report, leak,
# broken round trip or allocation above 64 MB.
source "$(dirname "$0")/../lib/common.sh"

fuzzer="$TARNWICK_FUZZ_DIR/fuzz/umf_fuzz"
[ -x "$fuzzer" ] || fuzzer="$TARNWICK_FUZZ_DIR/umf_fuzz"
[ -x "$fuzzer" ] || fail "no umf_fuzz in $TARNWICK_FUZZ_DIR (make fuzz builds it)"
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

log="$TEST_TMP/fuzz.log"
note "fuzzing the UMF reader for 30 s from $(ls "$corpus" | wc -l) seeds"
status=0
(cd "$TEST_TMP" && "$fuzzer" -max_total_time=30 -max_len=4096 -malloc_limit_mb=64 -rss_limit_mb=1024 \
  -artifact_prefix="$TEST_TMP/" -print_final_stats=1 "$corpus") > "$log" 2>&1 || status=$?
tail -n 12 "$log"
if [ "$status" -ne 0 ] || grep -qE "ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:" "$log"; then
  grep -E -m 5 -A 12 "ERROR|runtime error|deadly signal" "$log" >&2 || true
  for a in "$TEST_TMP"/crash-* "$TEST_TMP"/leak-* "$TEST_TMP"/oom-* "$TEST_TMP"/timeout-*; do
    [ -e "$a" ] && { echo "input:" >&2; od -A d -t x1 "$a" | head -n 8 >&2; }
  done
  fail "the UMF reader fuzzer found a fault (exit $status)"
fi
grep -q "Done [0-9]* runs" "$log" || fail "the fuzzer did not finish its run"
note "no faults"
