#!/bin/bash
# Runs a command with a connected pair of pseudo-terminals, linked at
# $PONDEX_WINE_DIR/com1 <-> com2, which the Wine environment maps as the
# ports of those numbers: what is written on one port arrives on the other.
#
# A test can pull the pair out as a USB adapter is pulled out, and put it
# back: it creates the file $PONDEX_WINE_DIR/serial-pair.unplug (both ptys
# vanish) or serial-pair.plug (a new pair under the same names), and waits
# until the file is gone, which means done. A Windows test reaches the
# folder through Wine's drive Z:.
set -euo pipefail
dir=${PONDEX_WINE_DIR:?}

# Serves the requests; owns the socat process that makes the pair.
serve() {
  local socat_pid=""
  plug() {
    rm -f "$dir/com1" "$dir/com2"
    socat "pty,raw,echo=0,link=$dir/com1" "pty,raw,echo=0,link=$dir/com2" </dev/null >>"$dir/socat.log" 2>&1 &
    socat_pid=$!
    for _ in $(seq 1 100); do
      [ -e "$dir/com1" ] && [ -e "$dir/com2" ] && return
      sleep 0.05
    done
  }
  unplug() {
    [ -n "$socat_pid" ] || return 0
    kill "$socat_pid" 2>/dev/null || true
    wait "$socat_pid" 2>/dev/null || true
    socat_pid=""
    rm -f "$dir/com1" "$dir/com2"
  }
  trap 'unplug; exit 0' TERM
  plug
  # No file-change notification tool is at hand: look for requests often
  # enough that a test waits a few tens of milliseconds at most.
  while :; do
    if [ -e "$dir/serial-pair.unplug" ]; then
      unplug
      rm -f "$dir/serial-pair.unplug"
    fi
    if [ -e "$dir/serial-pair.plug" ]; then
      [ -n "$socat_pid" ] || plug
      rm -f "$dir/serial-pair.plug"
    fi
    sleep 0.02
  done
}

rm -f "$dir/serial-pair.unplug" "$dir/serial-pair.plug" "$dir/com1" "$dir/com2"
serve &
server_pid=$!
trap 'kill $server_pid 2>/dev/null; wait $server_pid 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
  [ -e "$dir/com1" ] && [ -e "$dir/com2" ] && break
  sleep 0.05
done
"$@"
