#!/usr/bin/env bash
# Runs a command with a throwaway PostgreSQL cluster for the server tests:
#   scripts/with-test-server.sh ctest --test-dir build --output-on-failure
# pg_virtualenv (postgresql-common) creates the cluster in a temporary folder,
# listening on loopback only, sets PGHOST, PGPORT, PGUSER, PGPASSWORD and
# PGDATABASE for the command, and drops the cluster when it ends. The tests
# find the server through PELMAR_TEST_SERVER; they create a database of their
# own for each test database and drop it again.
set -euo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND [ARGUMENT...]" >&2
  exit 2
fi

exec pg_virtualenv -t -o listen_addresses=localhost -o fsync=off -o synchronous_commit=off -o log_min_messages=fatal -- \
  bash -c 'export PELMAR_TEST_SERVER="postgresql://$PGUSER@$PGHOST:$PGPORT/$PGDATABASE"; exec "$@"' \
  with-test-server "$@"
