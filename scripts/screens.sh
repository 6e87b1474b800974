#!/usr/bin/env bash
# Starts the real time clock under Xvfb on a fresh demo database and saves
# pictures of its window: logged out, logged in, and with the time sheet open;
# then the administrator's window on the same database, one picture a tab.
#   scripts/screens.sh        the English pictures
#   scripts/screens.sh es     the clock's three in Spanish, named -es; the
#                             configuration file picks the language, so no
#                             Spanish locale needs to be generated
# Run after a build (scripts/build.sh plain).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

language=${1:-}
case "$language" in
  "") suffix= title='Time Log' ;;
  es) suffix=-es title='Registro de horas' ;;
  *) echo "usage: $0 [es]" >&2; exit 2 ;;
esac

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/program" "$work/data" screens
cp build/PelmarEmployee "$work/program/"
build/tools/pelmar-db demo "$work/data" >/dev/null
printf '[PELMAREMPLOYEE]\r\nMessage=%s\r\n' "$work/data" > "$work/program/PelmarEmployee.ini"
[ -z "$language" ] || printf 'Language=%s\r\n' "$language" >> "$work/program/PelmarEmployee.ini"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The first window whose title matches, waited for up to ten seconds.
window_named() {
  local found
  for _ in $(seq 100); do
    found=$(xdotool search --name "$1" 2>/dev/null | head -n 1) && [ -n "$found" ] && { echo "$found"; return; }
    sleep 0.1
  done
  echo "no window named $1 appeared" >&2
  exit 1
}

"$work/program/PelmarEmployee" &
window=$(window_named "^$title\$")
sleep 1
import -window "$window" "screens/logged-out$suffix.png"

# Log in as the demo's first employee: pick the name, type the password, Enter.
xdotool windowfocus --sync "$window"
xdotool key --window "$window" Down
xdotool key --window "$window" Tab
xdotool type --window "$window" --delay 20 alice
xdotool key --window "$window" Return
sleep 1
import -window "$window" "screens/logged-in$suffix.png"

# Open the time sheet with "View My Time".
xdotool mousemove --window "$window" 148 73 click 1
sleep 1
import -window "$window" "screens/time-sheet$suffix.png"
echo "saved screens/logged-out$suffix.png, screens/logged-in$suffix.png and screens/time-sheet$suffix.png"
# The administrator's window is pictured in English only.
[ -z "$language" ] || exit 0

# The administrator's window: each tab in turn, Ctrl+Tab to the next. David's
# shift left open yesterday is corrected first, so the audit trail has a row.
"$root/build/pelmar-admin" --database "$work/data" &
admin=$(window_named '^Pelmar Administrator - ')
xdotool windowsize --sync "$admin" 900 560
xdotool windowfocus --sync "$admin"
open=$(build/tools/pelmar-db query "$work/data" "SELECT TimeID FROM qslTime WHERE PersonnelID = 4 AND TimeOut IS NULL" | sed -n 2p | tr -d '\r')
build/tools/pelmar-db time-set "$work/data" "$open" "9:00 AM" "5:30 PM" >/dev/null
for tab in board records payroll staff audit alerts settings; do
  sleep 1.5
  import -window "$admin" "screens/admin-$tab.png"
  xdotool key --window "$admin" ctrl+Tab
done
echo "saved screens/admin-*.png"
