#!/bin/sh
# Runs a Windows program under Wine in the test environment that
# tools/wine-env.sh prepared (its own prefix, virtual display and server).
dir=${PONDEX_WINE_DIR:?PONDEX_WINE_DIR is not set: run tests through ctest}
export WINEPREFIX="$dir/prefix" WINEARCH=win64 WINEDEBUG=${PONDEX_WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
DISPLAY=$(cat "$dir/display") || exit 1
export DISPLAY
exec wine "$@"
