#!/usr/bin/env bash
# Checks the Debian package as a terminal uses it, unpacked with dpkg-deb:
# its pelmar-db makes a demo database; its clock, offscreen, opens on the
# database that the account's configuration file names; with no
# configuration at all (under Xvfb, the file dialog answered by typing) the
# locator saves the account's file and none beside the program. Then
# lintian, which must report no errors or warnings.
#   tests/package/package_test.sh build/pelmar-employee_VERSION_amd64.deb
set -euo pipefail

deb=$(realpath "$1")
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package test: $*" >&2; exit 1; }

# Runs the command every tenth of a second until it succeeds, for at most
# the given seconds.
wait_for() {
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  return 1
}
# The process holds the file open.
holds() {
  local fd
  for fd in /proc/"$1"/fd/*; do [ "$(readlink "$fd")" = "$2" ] && return 0; done
  return 1
}
ini_for() { printf '[PELMAREMPLOYEE]\r\nMessage=%s\r\n' "$1"; }

dpkg-deb -x "$deb" "$work/root"
bin=$work/root/usr/bin

# The programs with their manual pages, and nothing built for the tests or
# with sanitizers.
for program in "$bin"/*; do
  name=$(basename "$program")
  case "$name" in PelmarEmployee | pelmar-db | pelmar-admin) ;; *) fail "unexpected $name in /usr/bin" ;; esac
  [ -f "$work/root/usr/share/man/man1/$name.1.gz" ] || fail "no manual page for $name"
  ! readelf -d "$program" | grep -q 'san\.so' || fail "$name is built with sanitizers"
done
[ -x "$bin/PelmarEmployee" ] && [ -x "$bin/pelmar-db" ] || fail "the clock or pelmar-db is missing"

mkdir "$work/data" "$work/home"
"$bin/pelmar-db" demo "$work/data" >/dev/null
database=$work/data/Pelmar.mdb
export HOME=$work/home

# The account's file names the demo.
mkdir -p "$work/account/PelmarEmployee"
ini_for "$work/data" >"$work/account/PelmarEmployee/PelmarEmployee.ini"
XDG_CONFIG_HOME=$work/account QT_QPA_PLATFORM=offscreen "$bin/PelmarEmployee" 2>"$work/offscreen.log" &
pids+=($!)
wait_for 30 holds $! "$database" || fail "the clock did not open the database the account's file names"
kill $! && wait $! 2>/dev/null || true

# No configuration anywhere: the locator asks, and saves the answer.
if [ -e /etc/pelmar/PelmarEmployee.ini ]; then
  echo "package test: /etc/pelmar/PelmarEmployee.ini is on this machine; skipping the start without configuration"
else
  # Xvfb picks a free display and writes its number when it is ready.
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  pids+=($!)
  wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=:$(cat "$work/display")

  XDG_CONFIG_HOME=$work/fresh QT_QPA_PLATFORM=xcb "$bin/PelmarEmployee" 2>"$work/xcb.log" &
  clock=$!
  pids+=($clock)
  dialog=
  find_dialog() { dialog=$(xdotool search --onlyvisible --name '^Find the database location$' | head -n 1) && [ -n "$dialog" ]; }
  wait_for 30 find_dialog 2>/dev/null || fail "the locator did not ask for the database"
  xdotool windowfocus --sync "$dialog"
  xdotool type --delay 10 "$database"
  xdotool key Return

  saved=$work/fresh/PelmarEmployee/PelmarEmployee.ini
  wait_for 20 test -f "$saved" || fail "the locator did not write $saved"
  [ "$(cat "$saved")" = "$(ini_for "$work/data")" ] || fail "$saved holds: $(cat -A "$saved")"
  wait_for 20 holds "$clock" "$database" || fail "the clock did not open the database the locator found"
  ! ls "$bin" | grep -qi '\.ini$' || fail "a configuration file was written beside the program"
fi

lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2)
echo "package test: passed"
