#!/usr/bin/env bash
# Installs what is missing, builds an optimised release into build/ (the same build the tests use,
# so switching between the two commands rebuilds nothing) and starts the program.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/common.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
  echo "Start the program on a virtual display with:  xvfb-run -a scripts/run.sh" >&2
  exit 1
fi

vellora_install_missing "${VELLORA_BUILD_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target vellora
vellora_give_back build
exec build/vellora
