# Shared by the fuzz scripts: finding a target in the fuzz build and running
# it for a set time (30 seconds unless told). Source after common.sh.

# The path of fuzz target $1 (the fuzz build puts its targets in its fuzz/ folder).
find_fuzzer() {
  local f="$TARNWICK_FUZZ_DIR/fuzz/$1"
  [ -x "$f" ] || f="$TARNWICK_FUZZ_DIR/$1"
  [ -x "$f" ] || fail "no $1 in $TARNWICK_FUZZ_DIR (make fuzz builds it)"
  echo "$f"
}

# run_fuzzer FUZZER CORPUS WHAT [SECONDS]: SECONDS (default 30, or
# $TARNWICK_FUZZ_SECONDS) from the corpus; fails on any crash, sanitizer
# report, leak or allocation above 64 MB, showing the input.
run_fuzzer() {
  local fuzzer=$1 corpus=$2 what=$3 seconds=${TARNWICK_FUZZ_SECONDS:-${4:-30}} log="$TEST_TMP/fuzz.log" status=0
  note "fuzzing $what for $seconds s from $(ls "$corpus" | wc -l) seeds"
  (cd "$TEST_TMP" && "$fuzzer" -max_total_time="$seconds" -max_len=4096 -malloc_limit_mb=64 -rss_limit_mb=1024 \
    -artifact_prefix="$TEST_TMP/" -print_final_stats=1 "$corpus") > "$log" 2>&1 || status=$?
  tail -n 12 "$log"
  if [ "$status" -ne 0 ] || grep -qE "ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:" "$log"; then
    grep -E -m 5 -A 12 "ERROR|runtime error|deadly signal" "$log" >&2 || true
    for a in "$TEST_TMP"/crash-* "$TEST_TMP"/leak-* "$TEST_TMP"/oom-* "$TEST_TMP"/timeout-*; do
      [ -e "$a" ] && { echo "input:" >&2; od -A d -t x1 "$a" | head -n 8 >&2; }
    done
    fail "the fuzzer of $what found a fault (exit $status)"
  fi
  grep -q "Done [0-9]* runs" "$log" || fail "the fuzzer did not finish its run"
  note "no faults"
}
