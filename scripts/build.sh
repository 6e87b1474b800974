#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh [plain|sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."

kind=${1:-plain}
case "$kind" in
  plain)    dir=build;      extra=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  sanitize) dir=build-asan; extra=(-DCMAKE_BUILD_TYPE=Debug -DPELMAR_SANITIZE=ON) ;;
  *) echo "usage: $0 [plain|sanitize]" >&2; exit 2 ;;
esac

# ccache keys its results by paths below the tree, so clones share them; the
# precompiled headers change nothing that it hashes.
export CCACHE_BASEDIR=$(pwd)
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
cmake -S . -B "$dir" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$dir"
