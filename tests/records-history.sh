#!/usr/bin/env bash
# Runs the monitor in test mode at the fastest interval, stops it with SIGTERM and expects a
# clean exit with status 0 and its last ticks in the history database.
set -u
# shellcheck source=tests/monitor-process.sh
. "$(dirname "$0")/monitor-process.sh"
binary=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work"
database="$work/history/telemetry.sqlite"
"$binary" -KIVOUITest YES -KIVOInterval 0.5 -KIVODataDir "$work/history" &
pid=$!
wait_until_sampling "$pid" "$database" || {
  kill -KILL "$pid" 2>/dev/null
  exit 1
}
# The engine flushes at its first tick and then every 30 s: rows of the next seconds reach the
# database only if quitting flushes them. Ticks come every half second; these seconds give
# several, with room for a slow one.
first=$(sqlite3 -readonly "$database" "SELECT max(ts) FROM raw" 2>/dev/null)
first=${first:-$(date +%s%3N)}
while (($(date +%s%3N) < first + 4000)); do
  sleep 0.1
done
stopped=$(date +%s%3N)
kill -TERM "$pid"
wait_until_quit "$pid" || {
  echo "kivo-monitor did not quit on SIGTERM in $quit_limit s"
  exit 1
}
wait "$pid"
status=$?
ended=$(date +%s%3N)
echo "kivo-monitor exited with $status"
[ "$status" -eq 0 ] || exit 1
rows=$(sqlite3 "$database" "SELECT count(*) FROM raw WHERE metric = 1")
newest=$(sqlite3 "$database" "SELECT coalesce(max(ts), 0) FROM raw WHERE metric = 1")
echo "CPU rows: $rows, newest at $newest ms, signalled at $stopped ms, ended at $ended ms"
[ "$rows" -ge 3 ] || { echo "too few rows"; exit 1; }
# A tick under way when the signal came finishes first, and may start after it.
[ $((stopped - newest)) -le 2000 ] && [ "$newest" -le "$ended" ] || { echo "the last ticks are missing"; exit 1; }
