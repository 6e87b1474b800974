#!/usr/bin/env bash
# Starts the real time clock under Xvfb on a fresh demo database and saves
# pictures of its window: logged out, logged in, and with the time sheet open.
# Run after a build (scripts/build.sh plain).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/app" "$work/data" screens
cp build/PelmarEmployee "$work/app/"
build/tools/pelmar-db demo "$work/data" >/dev/null
printf '[PELMAREMPLOYEE]\r\nMessage=%s\r\n' "$work/data" > "$work/app/PelmarEmployee.ini"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp &
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$work/app/PelmarEmployee" &
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Time Log$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 1
import -window "$window" screens/logged-out.png

# Log in as the demo's first employee: pick the name, type the password, Enter.
xdotool windowfocus --sync "$window"
xdotool key --window "$window" Down
xdotool key --window "$window" Tab
xdotool type --window "$window" --delay 20 alice
xdotool key --window "$window" Return
sleep 1
import -window "$window" screens/logged-in.png

# Open the time sheet with "View My Time".
xdotool mousemove --window "$window" 148 73 click 1
sleep 1
import -window "$window" screens/time-sheet.png
echo "saved screens/logged-out.png, screens/logged-in.png and screens/time-sheet.png"
