#!/usr/bin/env bash
# Time from process start to the first painted main window, and the resident memory of the
# running monitor with its main window, offscreen. Build Release first:
#   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build/release kivo-monitor
# Usage: bench/shell-startup.sh [build/release/kivo-monitor] [runs] [history.sqlite]
# The first run creates the history; the later runs start on that existing database. With a
# history file (the 53 MB steady state: KIVO_KEEP_STEADY_STATE=/tmp/steady.sqlite kivo-bench
# --benchmark_filter=BM_StoreOpenSteadyState), every run starts on a fresh copy of it.
set -u
binary=${1:-build/release/kivo-monitor}
runs=${2:-5}
given=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work"
export KIVO_REPORT_FIRST_PAINT=1
for run in $(seq 0 "$runs"); do
  log="$work/run$run.log"
  if [ -n "$given" ]; then
    mkdir -p "$work/history"
    rm -f "$work/history"/telemetry.sqlite*
    cp "$given" "$work/history/telemetry.sqlite"
  fi
  start=$(date +%s%3N)
  "$binary" -KIVODataDir "$work/history" 2>"$log" &
  pid=$!
  for _ in $(seq 1 200); do
    grep -q '^kivo-first-paint' "$log" && break
    sleep 0.02
  done
  painted=$(sed -n 's/^kivo-first-paint //p' "$log")
  sleep 5
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
  kill -TERM "$pid"
  wait "$pid"
  status=$?
  label=$([ "$run" -eq 0 ] && [ -z "$given" ] && echo "first run (new history)" || echo "run $run")
  if [ -n "$painted" ]; then
    echo "$label: first paint after $((painted - start)) ms; resident $((rss / 1024)) MB after 5 s; exit $status"
  else
    echo "$label: no first paint reported; exit $status"
  fi
done
