#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the core, the documents, the analysis, the view logic and the runner with AddressSanitizer and
# UndefinedBehaviorSanitizer (without Qt, which also proves that they stand alone) and runs their tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/sanitized-build.sh
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
