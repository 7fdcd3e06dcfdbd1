#!/usr/bin/env bash
# Installs the dependencies, builds Taonscope and runs every test: the full build, then the build
# without Qt, which proves that the core, the documents and the runner stand alone.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

scripts/build.sh build
ctest --test-dir build --output-on-failure -j"$(nproc)"

scripts/build.sh build-noqt -DTAONSCOPE_WITH_QT=OFF -DTAONSCOPE_BUILD_BENCHMARKS=OFF
ctest --test-dir build-noqt --output-on-failure -j"$(nproc)"
