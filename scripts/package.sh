#!/usr/bin/env bash
# Builds the Debian package from the plain build:
# build/pelmar-employee_VERSION_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh plain
cd build
rm -f pelmar-employee_*.deb
cpack -G DEB >/dev/null
ls "$(pwd)"/pelmar-employee_*.deb
