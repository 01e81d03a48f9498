#!/bin/bash
# The environment the Windows tests run in: a virtual display, a Wine prefix
# of the build, a persistent Wine server, and the serial ports COM1..COM4,
# COM12 and COM13 mapped to fixed paths in DIR (a test links a pty of its own
# there). COM12 and COM13 stand for the ports above 9, which open only by
# their device names ("\\.\COM12").
#
#   tools/wine-env.sh start DIR [HOLDER]
#                                 prepare (idempotent) and start; HOLDER is a
#                                 Windows program run as "HOLDER hold" for the
#                                 whole session, so that Wine's desktop process
#                                 is started once, detached from test output
#   tools/wine-env.sh stop DIR    stop the server and the display
#   tools/wine-env.sh shell DIR   print the exports for running wine by hand
set -euo pipefail

cmd=${1:?usage: wine-env.sh start|stop|shell DIR}
dir=${2:?usage: wine-env.sh start|stop|shell DIR}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

export WINEPREFIX="$dir/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

display_alive() { DISPLAY=":$1" xdpyinfo >/dev/null 2>&1; }

start_display() {
  if [ -f "$dir/display" ] && [ -f "$dir/xvfb.pid" ] && kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null &&
    display_alive "$(cut -c2- "$dir/display")"; then
    return
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 1 100); do
      display_alive "$n" && { echo ":$n" >"$dir/display"; return; }
      sleep 0.1
    done
    kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
  done
  echo "no virtual display could be started" >&2
  exit 1
}

case "$cmd" in
  start)
    start_display
    export DISPLAY
    DISPLAY=$(cat "$dir/display")
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i </dev/null >"$dir/wineboot.log" 2>&1 || true
      wineserver -w
    fi
    for n in 1 2 3 4 12 13; do
      wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d "$dir/com$n" /f </dev/null >/dev/null 2>&1
    done
    # The port mapping is read when the server starts.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    # Start the server and Wine's own services now, detached from our output:
    # a service started by a test would keep the test's output pipe open.
    wineserver -p </dev/null >>"$dir/wineserver.log" 2>&1
    wine cmd.exe /c exit </dev/null >>"$dir/wineboot.log" 2>&1 || true
    # The server made the dosdevices links from the registry; make sure of
    # the two high ones, which only the tests of ports above 9 use.
    for n in 12 13; do
      [ -L "$WINEPREFIX/dosdevices/com$n" ] || ln -sfn "$dir/com$n" "$WINEPREFIX/dosdevices/com$n"
    done
    if [ -n "${3:-}" ]; then
      setsid wine "$3" hold </dev/null >>"$dir/holder.log" 2>&1 &
    fi
    echo "wine environment ready: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX"
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    if [ -f "$dir/xvfb.pid" ]; then
      kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
      rm -f "$dir/xvfb.pid" "$dir/display"
    fi
    ;;
  shell)
    echo "export WINEPREFIX='$WINEPREFIX' WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY=$(cat "$dir/display" 2>/dev/null)"
    ;;
  *)
    echo "usage: wine-env.sh start|stop|shell DIR" >&2
    exit 2
    ;;
esac
