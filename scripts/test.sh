#!/usr/bin/env bash
# Sets up the machine, builds everything and runs the whole test suite through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
# A test that waits on a dialog nobody answers fails after 10 minutes instead of holding CI.
ctest --test-dir build --output-on-failure --timeout 600 --parallel "$(nproc)" "$@"
