#!/usr/bin/env bash
# Runs a command on a private session bus that also serves as its system bus.
set -eu
run_session=$1
shift
exec "$run_session" -- sh -c 'DBUS_SYSTEM_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" exec "$@"' sh "$@"
