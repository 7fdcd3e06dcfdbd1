#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Taonscope into a build folder: scripts/build.sh [FOLDER [CMAKE OPTIONS...]].
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build}
shift || true
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release "$@" > /dev/null
cmake --build "$folder" -j"$(nproc)"
