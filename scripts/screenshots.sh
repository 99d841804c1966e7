#!/usr/bin/env bash
# Builds the program and writes a picture of each window into docs/screenshots/ (offscreen;
# no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
QT_QPA_PLATFORM=offscreen build/bin/tvxshots docs/screenshots
