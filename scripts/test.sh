#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the dependencies, builds Taonscope and runs every test: the full build; the atlas on a
# one-node Slurm cluster; an install into a fresh prefix and the Debian package; the core, documents and
# runner without Qt under AddressSanitizer and UndefinedBehaviorSanitizer; a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

scripts/build.sh build
ctest --test-dir build --output-on-failure -j"$(nproc)"
scripts/test-slurm.sh build
scripts/test-install.sh build

scripts/sanitize.sh
scripts/fuzz.sh
