#!/usr/bin/env bash
# Builds the two Debian packages from the plain build and prints their paths
# on the last two lines, the terminal's first:
#   build/pelmar-employee_VERSION_amd64.deb
#   build/pelmar-admin_VERSION_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh plain
cd build
rm -f pelmar-employee_*.deb pelmar-admin_*.deb
cpack -G DEB >/dev/null
ls "$(pwd)"/pelmar-employee_*.deb
ls "$(pwd)"/pelmar-admin_*.deb
