#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Safe to run again: apt only installs what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ccache
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libsqlite3-dev sqlite3
  libpq-dev postgresql
  libcurl4-openssl-dev libsodium-dev
  libgtest-dev
  fonts-liberation
  python3 python3-aiosmtpd python3-cryptography
  faketime xvfb xauth x11-apps x11-utils imagemagick xdotool
  clang-format
  lintian
  poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
