#!/usr/bin/env bash
# Installs what is missing, builds, creates a demo database when no database
# is configured yet, and starts the time clock.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh
bash scripts/build.sh plain

ini="$root/build/PelmarEmployee.ini"
if [ ! -f "$ini" ]; then
  demo="$root/demo"
  mkdir -p "$demo"
  [ -f "$demo/Pelmar.mdb" ] || "$root/build/tools/pelmar-db" demo "$demo"
  printf '[PELMAREMPLOYEE]\r\nMessage=%s\r\n' "$demo" > "$ini"
  echo "Configured the demo database in $demo"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No desktop display here; on a desktop start the time clock with: $root/build/PelmarEmployee"
  echo "(scripts/screens.sh takes pictures of it under Xvfb)"
  exit 0
fi
exec "$root/build/PelmarEmployee"
