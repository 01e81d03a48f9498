#!/bin/bash
# libFuzzer targets of tests/fuzz, built with clang-14 and the address and
# undefined-behaviour sanitizers.
#
#   tools/fuzz.sh build                        build the targets in build/fuzz
#   tools/fuzz.sh time SECONDS [TARGET...]     run each target for SECONDS
#   tools/fuzz.sh runs COUNT [TARGET...]       run each target for COUNT inputs
#
# Each run starts from the committed seeds in tests/fuzz/corpus/<target>/;
# what a run discovers goes to build/fuzz/corpus/<target>/, a finding to
# build/fuzz/artifacts/. Exits non-zero when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="$root/build/fuzz"
all_targets=(fuzz_key_syntax fuzz_ini_text fuzz_data_path fuzz_weight_lines fuzz_socket_object)

build() {
  cmake -S tests/fuzz -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$out" -j"${FUZZ_JOBS:-2}"
}

run() {  # libFuzzer-limit targets...
  local limit=$1 status=0
  shift
  local targets=("$@")
  [ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
  mkdir -p "$out/artifacts"
  for t in "${targets[@]}"; do
    mkdir -p "$out/corpus/$t" "tests/fuzz/corpus/$t"
    local log="$out/$t.log" max_len=1024
    # A few pieces of received text, or a few key groups (each may repeat
    # a key a thousand times), reach every path; longer inputs only slow
    # the search down.
    case "$t" in
      fuzz_data_path) max_len=128 ;;
      fuzz_weight_lines) max_len=256 ;;
      fuzz_key_syntax) max_len=64 ;;
    esac
    if "$out/$t" "$limit" -max_len=$max_len -print_final_stats=1 -artifact_prefix="$out/artifacts/$t-" \
      "$out/corpus/$t" "tests/fuzz/corpus/$t" >"$log" 2>&1; then
      echo "$t: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" || tail -1 "$log"), no finding"
    else
      status=1
      echo "$t: FINDING (see $log and $out/artifacts/)"
      grep -m3 -E 'ERROR|SUMMARY|deadly' "$log" || tail -20 "$log"
    fi
  done
  return $status
}

case "${1:-}" in
  build) build ;;
  time)
    seconds=${2:?usage: fuzz.sh time SECONDS [TARGET...]}
    shift 2
    run "-max_total_time=$seconds" "$@"
    ;;
  runs)
    count=${2:?usage: fuzz.sh runs COUNT [TARGET...]}
    shift 2
    run "-runs=$count" "$@"
    ;;
  *)
    echo "usage: tools/fuzz.sh build | time SECONDS [TARGET...] | runs COUNT [TARGET...]" >&2
    exit 2
    ;;
esac
