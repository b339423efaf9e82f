#!/usr/bin/env bash
# Runs the monitor in test mode at the fastest interval, stops it with SIGTERM and expects a
# clean exit with status 0 and its last ticks in the history database.
set -u
binary=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work"
database="$work/history/telemetry.sqlite"
"$binary" -KIVOUITest YES -KIVOInterval 0.5 -KIVODataDir "$work/history" &
pid=$!
sleep 6
stopped=$(date +%s)
kill -TERM "$pid"
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "kivo-monitor did not quit on SIGTERM"
  kill -KILL "$pid"
  exit 1
fi
wait "$pid"
status=$?
echo "kivo-monitor exited with $status"
[ "$status" -eq 0 ] || exit 1
[ -f "$database" ] || { echo "no database at $database"; exit 1; }
# The engine flushes at its first tick and then every 30 s: rows of the last seconds are there
# only because quitting flushed them.
rows=$(sqlite3 "$database" "SELECT count(*) FROM raw WHERE metric = 1")
newest=$(sqlite3 "$database" "SELECT coalesce(max(ts), 0) / 1000 FROM raw WHERE metric = 1")
echo "CPU rows: $rows, newest at $newest, stopped at $stopped"
[ "$rows" -ge 3 ] || { echo "too few rows"; exit 1; }
[ $((stopped - newest)) -le 2 ] && [ "$newest" -le $((stopped + 1)) ] || { echo "the last ticks are missing"; exit 1; }
