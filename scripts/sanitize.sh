#!/usr/bin/env bash
# Builds the core, the documents and the runner with AddressSanitizer and UndefinedBehaviorSanitizer
# (without Qt, which also proves that they stand alone) and runs their tests.
set -euo pipefail
cd "$(dirname "$0")/.."
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAONSCOPE_WITH_QT=OFF -DTAONSCOPE_BUILD_BENCHMARKS=OFF \
    "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_EXE_LINKER_FLAGS=$flags"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
