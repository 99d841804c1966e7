#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, run and test. Idempotent:
# apt-get runs only when a package is missing. Needs root (or sudo).
set -euo pipefail
packages=(cmake ninja-build g++ ccache libgtest-dev python3 libsqlite3-dev zlib1g-dev qt6-base-dev qt6-l10n-tools qt6-qpa-plugins fonts-dejavu-core xvfb xauth poppler-utils
  libgsf-1-dev libgsf-bin python3-xlrd libreoffice-calc-nogui libreoffice-writer-nogui
  libxml2-utils libsaxonhe-java default-jre-headless)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -y
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
