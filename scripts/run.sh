#!/usr/bin/env bash
# Sets up the machine, builds, and starts the program with its data directory beside it
# (build/bin/Data, created on first start). Until the application window exists this is
# the SQL shell tvxsql over that data directory: type statements ending with ';'.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
mkdir -p build/bin/Data
exec build/bin/tvxsql build/bin/Data build/bin
