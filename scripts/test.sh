#!/usr/bin/env bash
# Installs what is missing, builds everything into build/ and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

vellora_install_missing "${VELLORA_BUILD_PACKAGES[@]}"

export QT_QPA_PLATFORM=offscreen
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
ctest --test-dir build --output-on-failure
