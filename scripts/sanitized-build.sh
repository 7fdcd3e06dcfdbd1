#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything that needs no Qt with clang under AddressSanitizer and UndefinedBehaviorSanitizer,
# instrumented for libFuzzer too, into build-sanitize: the tests and the fuzz targets share one build. The
# Python module is left out: an interpreter that is not built with AddressSanitizer cannot load it.
set -euo pipefail
cd "$(dirname "$0")/.."
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer"
CC=clang CXX=clang++ scripts/build.sh build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAONSCOPE_WITH_QT=OFF \
    -DTAONSCOPE_BUILD_TESTS=ON -DTAONSCOPE_BUILD_BENCHMARKS=OFF -DTAONSCOPE_BUILD_FUZZERS=ON -DTAONSCOPE_BUILD_PYTHON=OFF \
    "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined"
