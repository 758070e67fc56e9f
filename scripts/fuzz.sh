#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer into build-fuzz/ and runs each one for the given
# number of seconds (default 60), starting from the seeds in fuzz/corpus/. New inputs collect in
# build-fuzz/corpus/, findings in build-fuzz/findings/.
#   scripts/fuzz.sh [seconds] [target...]     targets: parse pattern fixed tick
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/common.sh"
vellora_install_missing "${VELLORA_BUILD_PACKAGES[@]}" clang libclang-rt-14-dev
VELLORA_MADE+=(build-fuzz)

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(parse pattern fixed tick)

instrument="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS=$instrument" \
  -DVELLORA_BUILD_FUZZ=ON -DVELLORA_BUILD_GUI=OFF -DVELLORA_BUILD_TESTS=OFF -DVELLORA_BUILD_BENCH=OFF
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"

mkdir -p build-fuzz/findings
for target in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$target"
  echo "== fuzz_$target for ${seconds}s"
  "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$target-" "build-fuzz/corpus/$target" "fuzz/corpus/$target"
done
