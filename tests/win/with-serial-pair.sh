#!/bin/bash
# Runs a command with a connected pair of pseudo-terminals, linked at
# $PONDEX_WINE_DIR/com1 <-> com2, which the Wine environment maps as the
# ports of those numbers: what is written on one port arrives on the other.
set -euo pipefail
dir=${PONDEX_WINE_DIR:?}

rm -f "$dir/com1" "$dir/com2"
socat "pty,raw,echo=0,link=$dir/com1" "pty,raw,echo=0,link=$dir/com2" </dev/null >>"$dir/socat.log" 2>&1 &
socat_pid=$!
trap 'kill $socat_pid 2>/dev/null; rm -f "$dir/com1" "$dir/com2"' EXIT
for _ in $(seq 1 100); do
  [ -e "$dir/com1" ] && [ -e "$dir/com2" ] && break
  sleep 0.05
done
"$@"
