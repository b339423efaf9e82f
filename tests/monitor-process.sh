# shellcheck shell=bash
# Sourced by the scripts that run the monitor itself. A loaded machine, and a sanitizer build,
# can take many seconds to start or stop it, so they wait for what they need to see, each wait
# bounded generously, and never for a fixed time.

# How long the monitor may take to come up, and to quit once told to.
readonly start_limit=60 quit_limit=60

# Whether the history at $1 holds a sample: the first tick is written at once.
holds_samples() {
  local rows
  [ -f "$1" ] || return 1
  rows=$(sqlite3 -readonly "$1" "SELECT count(*) FROM raw" 2>/dev/null) || return 1
  [ "${rows:-0}" -gt 0 ]
}

# wait_until_sampling PID DATABASE: until the monitor has written its first tick. False when it
# ended first or the limit passed.
wait_until_sampling() {
  local deadline=$((SECONDS + start_limit))
  until holds_samples "$2"; do
    if ! kill -0 "$1" 2>/dev/null; then
      echo "kivo-monitor ended before it wrote a sample"
      return 1
    fi
    if ((SECONDS >= deadline)); then
      echo "kivo-monitor wrote no sample in $start_limit s"
      return 1
    fi
    sleep 0.1
  done
}

# wait_until_quit PID: until the process has ended; a process still there after the limit is
# killed, and false returned.
wait_until_quit() {
  local deadline=$((SECONDS + quit_limit))
  while kill -0 "$1" 2>/dev/null; do
    if ((SECONDS >= deadline)); then
      kill -KILL "$1"
      wait "$1"
      return 1
    fi
    sleep 0.1
  done
}
