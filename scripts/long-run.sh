#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A long run, reported rather than tested: STEPS (default 1000000) steps of the easy square with Cool
# on and off through taonscope-cli, with the peak memory of each run and a check that no value became
# NaN. Needs a build (scripts/build.sh) and GNU time (/usr/bin/time).
set -euo pipefail
cd "$(dirname "$0")/.."
steps=${STEPS:-1000000}
cli=build/src/cli/taonscope-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cli" scenario easy-square "$work/square.tao"
for cool in "" "--cool"; do
    label=${cool:-"no cool"}
    /usr/bin/time -f "%M" -o "$work/peak" "$cli" run "$work/square.tao" --steps "$steps" $cool \
        --output "$work/after.tao" 2> "$work/summary"
    "$cli" show "$work/after.tao" --format csv > "$work/values.csv"
    "$cli" show "$work/after.tao" --velocities --format csv >> "$work/values.csv"
    nans=$(grep -c 'NAN' "$work/values.csv" || true)
    echo "$label: $(tail -1 "$work/summary"); peak memory $(cat "$work/peak") KiB; values that are NaN: $nans"
    sed -n '/^taon/,$p' "$work/values.csv" | head -5
done
