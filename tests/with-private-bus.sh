#!/usr/bin/env bash
# Runs a command on a private session bus that also serves as its system bus. The bus has a
# configuration of its own with an empty service folder, so nothing installed on the machine
# (a notification daemon, a portal) is started on it: only the tests' fake services are there.
set -eu
run_session=$1
shift
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir "$folder/services"
cat > "$folder/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$folder</listen>
  <auth>EXTERNAL</auth>
  <servicedir>$folder/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
"$run_session" --config-file="$folder/bus.conf" -- sh -c 'DBUS_SYSTEM_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" exec "$@"' sh "$@"
