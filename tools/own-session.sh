#!/usr/bin/env bash
# Runs a command in a desktop session of its own: a runtime folder made for it (mode 0700)
# and a session bus started for it alone, whatever buses the caller's desktop has or lacks.
# Without them GLib starts a bus through dbus-launch that outlives the program that needed
# it, and the accessibility bus that bus starts keeps its socket in whichever folder the
# first program named, gone when that program's test ends.
set -euo pipefail
runtime=$(mktemp -d "${TMPDIR:-/tmp}/orvalis-session-XXXXXX")
trap 'rm -rf "$runtime"' EXIT
chmod 0700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
# The caller's buses are not this session's.
unset DBUS_SESSION_BUS_ADDRESS DBUS_STARTER_ADDRESS DBUS_STARTER_BUS_TYPE AT_SPI_BUS_ADDRESS WEBKIT_A11Y_BUS_ADDRESS
dbus-run-session -- "$@"
