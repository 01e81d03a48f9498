#!/bin/bash
# The two commands of the README.
#
#   tools/dev.sh run    install what is missing, build Pon_dex.exe, start it under Wine
#   tools/dev.sh test   install what is missing, build, run every test (native, sanitizers, Wine)
#                       and each fuzz target for a short while (FUZZ_SECONDS, default 15)
#
# Works on a fresh Debian 12 as root (or as a user with sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

packages=(
  g++ cmake ninja-build googletest libgtest-dev libgmock-dev libbenchmark-dev clang-format clang-tidy
  g++-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xauth x11-utils x11-apps xdotool imagemagick
  socat python3 nsis clang-14 libclang-rt-14-dev
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "== installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {  # preset
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

# Includes that stay within the layers, the layout of every C++ file, a few
# static checks of the portable code and the naming style of all product
# code (the checks are listed in .clang-tidy); all must find nothing.
style() {
  echo "== includes"
  # A quoted include looks in the including file's own folder first, so a
  # climbing path would reach past the staged layers unseen.
  if git grep -n '#include "\.\./' -- '*.cpp' '*.h'; then
    echo "includes must name their layer (\"config/settings.h\"), never climb with \"../\""
    return 1
  fi
  echo "== format"
  # Called as `style || status=1`, where `set -e` does not act: every step
  # returns its own failure.
  git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror || return 1
  echo "== tidy"
  run-clang-tidy -p build/native -j "$(nproc)" -quiet -extra-arg=-Wno-unknown-warning-option \
    "$root/(core|presenter|serial|output|net|config|ui|controls|platform)/" >build/tidy.log 2>&1 ||
    { sed 's/\x1b\[[0-9;]*m//g' build/tidy.log | grep -A3 -E 'warning:|error:'; return 1; }
  echo "== tidy: names of the Win32 code"
  # The cross-build's compile commands, read by clang for the MinGW target.
  # Clang does not find MinGW's libstdc++ by itself: its folders are given.
  # Only the naming check: the others would flag every handle the Win32
  # messages carry in an integer (performance-no-int-to-ptr).
  local gcc
  gcc=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
  run-clang-tidy -p build/mingw -j "$(nproc)" -quiet -checks='-*,readability-identifier-naming' \
    -extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-Wno-unknown-warning-option \
    -extra-arg=-isystem"$gcc/include/c++" -extra-arg=-isystem"$gcc/include/c++/x86_64-w64-mingw32" \
    -extra-arg=-isystem"$gcc/include/c++/backward" \
    "$root/(platform/win32|controls/win32|ui/win32|app)/.*\.cpp$" >build/tidy-win32.log 2>&1 ||
    { sed 's/\x1b\[[0-9;]*m//g' build/tidy-win32.log | grep -A3 -E 'warning:|error:'; return 1; }
}

case "${1:-}" in
  test)
    install_missing
    status=0
    for preset in native sanitize mingw; do
      echo "== build: $preset"
      build "$preset"
    done
    style || status=1
    for preset in native sanitize mingw; do
      echo "== test: $preset"
      ctest --preset "$preset" || status=1
    done
    echo "== fuzz: ${FUZZ_SECONDS:-15} s per target"
    tools/fuzz.sh build
    tools/fuzz.sh time "${FUZZ_SECONDS:-15}" || status=1
    exit $status
    ;;
  run)
    install_missing
    build mingw
    exe="$root/build/mingw/app/Pon_dex.exe"
    if [ -n "${DISPLAY:-}" ]; then
      export WINEPREFIX="$root/build/run/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
      mkdir -p "$root/build/run"
      [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1 || true
      echo "== starting $exe on $DISPLAY"
      exec wine "$exe"
    fi
    "$root/tools/wine-env.sh" start "$root/build/run"
    trap '"$root/tools/wine-env.sh" stop "$root/build/run"' EXIT
    echo "== starting $exe on the virtual display $(cat "$root/build/run/display")"
    echo "   (look at it with: import -display $(cat "$root/build/run/display") -window root shot.png)"
    PONDEX_WINE_DIR="$root/build/run" "$root/cmake/wine-run.sh" "$exe"
    ;;
  *)
    echo "usage: tools/dev.sh run|test" >&2
    exit 2
    ;;
esac
