#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and runs
# each for FUZZ_SECONDS (default 20) from the committed seed corpus. New inputs go to a working copy;
# a crash stops the script, and its input is left in build-sanitize/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
scripts/sanitized-build.sh

# The targets that write files do so in a memory file system where there is one: a save's fsync then
# costs nothing, and each second tries many more inputs.
if [[ -d /dev/shm && -w /dev/shm ]]; then
    export TMPDIR=/dev/shm
fi

targets=(FuzzConfigRecord FuzzNumberText FuzzStartPointer FuzzCommentary FuzzFastLaw FuzzXyzText FuzzCodePage
    FuzzXyzFrame FuzzLammpsText FuzzJson)
mkdir -p build-sanitize/fuzz/artifacts
for target in "${targets[@]}"; do
    work=build-sanitize/fuzz/corpus/$target
    mkdir -p "$work"
    log=build-sanitize/fuzz/$target.log
    seeds=tests/fuzz/corpus/$target
    if ! build-sanitize/tests/fuzz/$target "$work" "$seeds" -max_total_time="$seconds" \
        -max_len=8192 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix=build-sanitize/fuzz/artifacts/$target- > "$log" 2>&1; then
        tail -40 "$log"
        echo "$target found a failing input: see build-sanitize/fuzz/artifacts"
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: $runs inputs in $seconds s, $(ls "$work" | wc -l) in the working corpus"
done
echo "fuzz: ${#targets[@]} passed, 0 failed"
