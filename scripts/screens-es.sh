#!/usr/bin/env bash
# Starts the real time clock in Spanish under Xvfb on a fresh demo database,
# as scripts/screens.sh does, and saves its pictures with -es: logged out,
# logged in, and with the time sheet open. The
# terminal's configuration file picks the language (Language=es), so no
# Spanish locale needs to be generated on this machine.
# Run after a build (scripts/build.sh plain).
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/program" "$work/data" screens
cp build/PelmarEmployee "$work/program/"
build/tools/pelmar-db demo "$work/data" >/dev/null
printf '[PELMAREMPLOYEE]\r\nMessage=%s\r\nLanguage=es\r\n' "$work/data" > "$work/program/PelmarEmployee.ini"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$work/program/PelmarEmployee" &
window=
for _ in $(seq 100); do
  window=$(xdotool search --name '^Registro de horas$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window named 'Registro de horas' appeared" >&2; exit 1; }
sleep 1
import -window "$window" screens/logged-out-es.png

# Logged in and with the time sheet open, as scripts/screens.sh does it.
xdotool windowfocus --sync "$window"
xdotool key --window "$window" Down
xdotool key --window "$window" Tab
xdotool type --window "$window" --delay 20 alice
xdotool key --window "$window" Return
sleep 1
import -window "$window" screens/logged-in-es.png
xdotool mousemove --window "$window" 148 73 click 1
sleep 1
import -window "$window" screens/time-sheet-es.png
echo "saved screens/logged-out-es.png, screens/logged-in-es.png and screens/time-sheet-es.png"
