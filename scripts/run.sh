#!/usr/bin/env bash
# Installs the dependencies, builds Taonscope and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
exec build/src/ui/taonscope
