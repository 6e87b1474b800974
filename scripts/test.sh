#!/usr/bin/env bash
# Installs what is missing, builds plain and sanitized, runs every test in
# both builds, with a throwaway PostgreSQL cluster on loopback for the tests
# that run on the server too (ctest label "server"), and checks the Debian
# packages built from the plain build.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# Formatting first: it is the quickest thing to fail.
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

jobs=$(nproc)
bash scripts/build.sh plain
bash scripts/with-test-server.sh ctest --test-dir build --output-on-failure -j "$jobs"

# The Debian packages, unpacked and started as a terminal starts the clock.
mapfile -t debs < <(bash scripts/package.sh | tail -n 2)
bash tests/package/package_test.sh "${debs[@]}"

bash scripts/build.sh sanitize
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bash scripts/with-test-server.sh ctest --test-dir build-asan --output-on-failure -j "$jobs"
