#!/usr/bin/env bash
# Starts the monitor, sends it a signal and expects a clean exit with status 0.
set -u
binary=$1
signal=${2:-TERM}
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$data/config" XDG_DATA_HOME="$data/data" XDG_RUNTIME_DIR="$data"
"$binary" &
pid=$!
sleep 3
kill -"$signal" "$pid"
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "kivo-monitor did not quit on SIG$signal"
  kill -KILL "$pid"
  exit 1
fi
wait "$pid"
status=$?
echo "kivo-monitor exited with $status on SIG$signal"
[ "$status" -eq 0 ]
