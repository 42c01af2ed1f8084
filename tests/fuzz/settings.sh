#!/usr/bin/env bash
# Fuzzes the settings file reader for about 20 seconds from settings files
# written here (the program's own, one with LF line ends and other values, a
# short one, one without line ends at all), failing on any crash, sanitizer
# report, leak, broken round trip or allocation above 64 MB.
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/../lib/fuzz.sh"

fuzzer=$(find_fuzzer settings_fuzz)

corpus="$TEST_TMP/corpus"
mkdir -p "$corpus"
comment='Configuration File { home dir, exit on mouse, fps, time, time (12,24) }'
# The home directory "." is the settings folder itself, so these load.
printf '%s\r\n.\r\n1\r\n0\r\n1\r\n12\r\n' "$comment" > "$corpus/program.txt"
printf '%s\n./\n0\n1\n0\n24\n' "$comment" > "$corpus/lf.txt"
printf 'x\r..\r 7\r-1\rabc\r36' > "$corpus/cr.txt"
printf '%s\r\n/\r\n+1\r\n' "$comment" > "$corpus/short.txt"
printf '%s' "$comment" > "$corpus/one-line.txt"

# The target reads each input as the settings file of this folder.
SETTINGS_FUZZ_SCRATCH=$(mktemp -d /dev/shm/settings-fuzz.XXXXXX 2>/dev/null || mktemp -d "$TEST_TMP/scratch.XXXXXX")
export SETTINGS_FUZZ_SCRATCH
on_exit "rm -rf '$SETTINGS_FUZZ_SCRATCH'"

run_fuzzer "$fuzzer" "$corpus" "the settings reader" 20
