#!/usr/bin/env bash
# Sets up the machine, builds, and starts the program. Its data directory is build/bin/Data,
# beside the program, created on the first start (first login: ADMIN, password 735).
# Without a display the program says so and how to start it under a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exec build/bin/tarvix
