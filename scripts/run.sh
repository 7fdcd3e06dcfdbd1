#!/usr/bin/env bash
# Installs the dependencies, builds Taonscope and starts it: for now the headless runner on the
# built-in easy square, run for 1000 steps and shown.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build

cli=build/src/cli/taonscope-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" scenario easy-square "$work/square.tao"
"$cli" run "$work/square.tao" --steps 1000 --output "$work/after.tao"
"$cli" show "$work/after.tao"
