#!/usr/bin/env bash
# Checks the two Debian packages as a terminal and the office use them,
# unpacked with dpkg-deb: the terminal's package holds the clock and its
# systemd user unit and none of the administrator's programs; the office's
# holds pelmar-admin and pelmar-db with their manual pages and depends on
# the clock's package of its own version; pelmar-db's manual page lists
# every command of its usage text. Its pelmar-db makes a demo
# database; the clock, offscreen, opens on the database that the account's
# configuration file names; with no configuration at all (under Xvfb, the
# file dialog answered by typing) the locator saves the account's file and
# none beside the program. Then lintian, which must report no errors or
# warnings on either package.
#   tests/package/package_test.sh build/pelmar-employee_VERSION_amd64.deb build/pelmar-admin_VERSION_amd64.deb
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 pelmar-employee.deb pelmar-admin.deb" >&2; exit 2; }
clock_deb=$(realpath "$1")
admin_deb=$(realpath "$2")
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

# Each package's programs with their manual pages, and nothing built for the
# tests or with sanitizers.
check_programs() {
  local root=$1 expected=$2 program name
  for program in "$root"/usr/bin/*; do
    name=$(basename "$program")
    [[ " $expected " == *" $name "* ]] || fail "unexpected $name in $(basename "$root")'s /usr/bin"
    [ -f "$root/usr/share/man/man1/$name.1.gz" ] || fail "no manual page for $name"
    ! readelf -d "$program" | grep -q 'san\.so' || fail "$name is built with sanitizers"
  done
  for name in $expected; do
    [ -x "$root/usr/bin/$name" ] || fail "$name is missing from $(basename "$root")"
  done
}

dpkg-deb -x "$clock_deb" "$work/clock"
dpkg-deb -x "$admin_deb" "$work/admin"
check_programs "$work/clock" PelmarEmployee
check_programs "$work/admin" "pelmar-admin pelmar-db"
# A terminal's account gets no tool that changes the staff or the records,
# by any name or path.
! dpkg-deb -c "$clock_deb" | grep -E 'pelmar-(admin|db)' || fail "the terminal's package holds an administrator's file"
[ -f "$work/clock/usr/lib/systemd/user/pelmar-employee.service" ] || fail "no systemd user unit for the clock"
for package in pelmar-employee:clock pelmar-admin:admin; do
  for file in copyright changelog.gz; do
    [ -f "$work/${package#*:}/usr/share/doc/${package%:*}/$file" ] || fail "no $file in /usr/share/doc/${package%:*}"
  done
done
version=$(dpkg-deb -f "$clock_deb" Version)
[ "$(dpkg-deb -f "$admin_deb" Version)" = "$version" ] || fail "the packages' versions differ"
dpkg-deb -f "$admin_deb" Depends | tr ',' '\n' | grep -qx " *pelmar-employee (= $version)" ||
  fail "pelmar-admin does not depend on pelmar-employee (= $version): $(dpkg-deb -f "$admin_deb" Depends)"

# pelmar-db's manual page lists every command of its usage text, with each
# password that may be left out in brackets there too.
page=$(MANWIDTH=200 man -l "$work/admin/usr/share/man/man1/pelmar-db.1.gz" 2>/dev/null)
while read -r _ command rest; do
  grep -q "^ *$command " <<<"$page" || fail "pelmar-db's manual page does not list $command"
  if [[ $rest == *"[PASSWORD]" ]]; then
    grep -q "^ *$command .*\[PASSWORD\]\$" <<<"$page" || fail "pelmar-db's manual page makes $command's password required"
  fi
done < <("$work/admin/usr/bin/pelmar-db" 2>&1 | grep '^  pelmar-db ')

bin=$work/clock/usr/bin
mkdir "$work/data" "$work/home"
"$work/admin/usr/bin/pelmar-db" demo "$work/data" >/dev/null
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

lintian --fail-on error,warning "$clock_deb" "$admin_deb" 2> >(grep -v 'running with root privileges' >&2)
echo "package test: passed"
