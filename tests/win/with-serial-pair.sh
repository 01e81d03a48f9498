#!/bin/bash
# Runs a command with two connected pairs of pseudo-terminals, linked at
# $PONDEX_WINE_DIR/com1 <-> com2 and com12 <-> com13, which the Wine
# environment maps as the ports of those numbers: what is written on one
# port of a pair arrives on the other.
#
# A test can pull the first pair out and put it back, as a USB adapter is
# unplugged and plugged in: it writes "unplug" or "plug" into
# $PONDEX_WINE_DIR/pair.request and waits until that file is gone. (Not
# "com1.*": Windows takes such a name for the port itself.) Unplugging ends
# the pair's socat, so both of its ptys vanish; plugging starts a new one
# with the same link names.
set -euo pipefail
dir=${PONDEX_WINE_DIR:?}

start_pair() {  # first-link second-link
  rm -f "$dir/$1" "$dir/$2"
  socat "pty,raw,echo=0,link=$dir/$1" "pty,raw,echo=0,link=$dir/$2" </dev/null >>"$dir/socat.log" 2>&1 &
  echo $! >"$dir/$1.socat.pid"
  for _ in $(seq 1 100); do
    [ -e "$dir/$1" ] && [ -e "$dir/$2" ] && return
    sleep 0.05
  done
}

stop_pair() {  # first-link second-link
  if [ -f "$dir/$1.socat.pid" ]; then
    kill "$(cat "$dir/$1.socat.pid")" 2>/dev/null || true
    rm -f "$dir/$1.socat.pid"
  fi
  rm -f "$dir/$1" "$dir/$2"
}

serve_requests() {
  while :; do
    if [ -f "$dir/pair.request" ]; then
      case "$(cat "$dir/pair.request")" in
        unplug) stop_pair com1 com2 ;;
        plug) start_pair com1 com2 ;;
      esac
      rm -f "$dir/pair.request"
    fi
    sleep 0.02
  done
}

cleanup() {
  [ -n "${server_pid:-}" ] && kill "$server_pid" 2>/dev/null
  stop_pair com1 com2
  stop_pair com12 com13
  rm -f "$dir/pair.request"
}
trap cleanup EXIT

rm -f "$dir/pair.request"
start_pair com1 com2
start_pair com12 com13
serve_requests &
server_pid=$!
"$@"
