#!/usr/bin/env bash
# Sets up the machine, builds everything and runs the whole test suite through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
ctest --test-dir build --output-on-failure --parallel "$(nproc)" "$@"
