#!/usr/bin/env bash
# The water step's vector kernels as mingw-w64 built them give the scalar
# kernel's bytes, run on this processor under Wine.
source "$(dirname "$0")/../lib/common.sh"
use_wine_prefix
probe="$TARNWICK_WINDOWS_BIN/waterprobe.exe"
[ -f "$probe" ] || fail "no $probe"
status=0
wine "$probe" >"$TEST_TMP/probe.out" 2>"$TEST_TMP/probe.err" || status=$?
cat "$TEST_TMP/probe.out"
[ "$status" -eq 0 ] || { cat "$TEST_TMP/probe.err"; fail "waterprobe ended with $status"; }
grep -q "^avx2: \(same\|not supported\)" "$TEST_TMP/probe.out" || fail "no report for the AVX2 kernel"
grep -q "^avx512: \(same\|not supported\)" "$TEST_TMP/probe.out" || fail "no report for the AVX-512 kernel"
echo "PASS"
