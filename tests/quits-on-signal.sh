#!/usr/bin/env bash
# Starts the monitor, sends it a signal once it samples and expects a clean exit with status 0.
set -u
# shellcheck source=tests/monitor-process.sh
. "$(dirname "$0")/monitor-process.sh"
binary=$1
signal=${2:-TERM}
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$data/config" XDG_DATA_HOME="$data/data" XDG_RUNTIME_DIR="$data"
"$binary" &
pid=$!
wait_until_sampling "$pid" "$data/data/KIVO Monitor/telemetry.sqlite" || {
  kill -KILL "$pid" 2>/dev/null
  exit 1
}
kill -"$signal" "$pid"
wait_until_quit "$pid" || {
  echo "kivo-monitor did not quit on SIG$signal in $quit_limit s"
  exit 1
}
wait "$pid"
status=$?
echo "kivo-monitor exited with $status on SIG$signal"
[ "$status" -eq 0 ]
