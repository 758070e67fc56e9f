#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
#   scripts/test.sh             build into build/ (RelWithDebInfo) and run the suite
#   scripts/test.sh --sanitize  the same in build-asan/ with AddressSanitizer and
#                               UndefinedBehaviorSanitizer, stopping at the first finding
#   scripts/test.sh --tidy      build into build/ and run clang-tidy (.clang-tidy) over the tree
#   scripts/test.sh --aarch64   cross-build the libraries without Qt and their tests for 64-bit ARM
#                               into build-aarch64/ and run the tests under qemu
#   scripts/test.sh --debian13  the suite and the package in a minimal Debian 13 system made in
#                               build-debian13/ (scripts/debian13.sh)
#   scripts/test.sh --windows [--libraries]  the suite cross-built for Windows and run under Wine
#                               (scripts/windows.sh); --libraries: those without Qt only
#   scripts/test.sh --web       the web page: its tests under Node and in Chromium (web_page.sh)
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/common.sh"

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
tidy=false
packages=("${VELLORA_BUILD_PACKAGES[@]}")
case "${1:-}" in
  "") ;;
  --tidy) tidy=true; packages+=(clang-tidy) ;;
  --debian13) exec bash scripts/debian13.sh ;;
  --windows) exec bash scripts/windows.sh test "${@:2}" ;;
  --web) exec bash scripts/web_page.sh test ;;
  --aarch64)
    build_dir=build-aarch64
    cmake_args=(--toolchain cmake/aarch64-linux-gnu.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo
                -DVELLORA_BUILD_GUI=OFF -DVELLORA_BUILD_BENCH=OFF -DVELLORA_GTEST_FROM_SOURCE=ON)
    packages=("${VELLORA_AARCH64_PACKAGES[@]}")
    ;;
  --sanitize)
    build_dir=build-asan
    sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DVELLORA_BUILD_BENCH=OFF
                "-DCMAKE_CXX_FLAGS=-O1 $sanitizers"
                "-DCMAKE_EXE_LINKER_FLAGS=$sanitizers")
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ;;
  *) echo "usage: $0 [--sanitize | --tidy | --aarch64 | --debian13 | --windows [--libraries] | --web]" >&2; exit 2 ;;
esac

vellora_install_missing "${packages[@]}"
VELLORA_MADE+=("$build_dir")

export QT_QPA_PLATFORM=offscreen
cmake -S . -B "$build_dir" -G Ninja "${cmake_args[@]}"
cmake --build "$build_dir"
if $tidy; then
  # Every source of the project in the compile database; the generated Qt files are left out.
  run-clang-tidy -quiet -p "$build_dir" '/(src|tests|bench)/.*\.cpp$'
  exit
fi
ctest --test-dir "$build_dir" --output-on-failure
