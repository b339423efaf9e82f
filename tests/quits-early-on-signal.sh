#!/usr/bin/env bash
# SIGTERM in the first milliseconds of a run: the monitor still stops whatever it started and
# exits with status 0. "First" counts from the moment the program runs its own code, that is
# when its handler for SIGTERM is installed (the SigCgt mask of /proc/<pid>/status): before that
# the process is still the shell's fork or the dynamic loader, and nothing of ours can answer.
# The fork itself catches SIGTERM too (this script's EXIT trap makes the shell catch it), so
# the handler counts only once the process runs the monitor's binary: exec resets it.
set -u
# shellcheck source=tests/monitor-process.sh
. "$(dirname "$0")/monitor-process.sh"
binary=$1
binary_path=$(readlink -f "$binary")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work"

catches_term() {
  local mask
  [ "$(readlink "/proc/$1/exe" 2>/dev/null)" = "$binary_path" ] || return 1
  mask=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$mask" ] && (( (16#$mask >> 14) & 1 ))  # SIGTERM is signal 15
}

failed=0
for delay in 0 0.02 0.1 0.3; do
  "$binary" -KIVODataDir "$work/history-$delay" &
  pid=$!
  deadline=$((SECONDS + start_limit))
  until catches_term "$pid"; do
    kill -0 "$pid" 2>/dev/null || break
    if ((SECONDS >= deadline)); then
      echo "kivo-monitor did not catch SIGTERM in $start_limit s"
      kill -KILL "$pid"
      break
    fi
    sleep 0.005
  done
  sleep "$delay"
  kill -TERM "$pid" 2>/dev/null
  if ! wait_until_quit "$pid"; then
    echo "kivo-monitor did not quit on SIGTERM ${delay} s after it could catch it"
    failed=1
    continue
  fi
  wait "$pid"
  status=$?
  echo "SIGTERM ${delay} s after the handler was installed: exit status $status"
  [ "$status" -eq 0 ] || failed=1
done
exit $failed
