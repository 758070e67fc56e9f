#!/usr/bin/env bash
# Makes the pictures in docs/: runs the program on a virtual display, sets T = 2.27 (near the
# critical temperature), starts it, waits so that both charts have a history, and takes a picture
# of the main window with ImageMagick. Once at 100 % (docs/screenshot.png) and once at 200 %
# (docs/screenshot-hidpi.png, QT_SCALE_FACTOR=2 on a display twice as large).
#   scripts/screenshot.sh [seconds]      (default 8)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

VELLORA_SCREENSHOT_PACKAGES=(xvfb xauth imagemagick xdotool)
vellora_install_missing "${VELLORA_BUILD_PACKAGES[@]}" "${VELLORA_SCREENSHOT_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target vellora

seconds="${1:-8}"
mkdir -p docs

# shoot <scale> <screen> <output>
shoot() {
  xvfb-run -a -s "-screen 0 $2x24" env QT_SCALE_FACTOR="$1" bash -c '
    build/vellora &
    pid=$!
    window=$(xdotool search --sync --name "^Vellora$" | head -n 1)
    sleep 2
    xdotool windowfocus --sync "$window"
    # The focus starts on the track bar. The keyboard works at any scale: Tab into the T edit
    # (its text selected), type the temperature, Tab to Start and press it.
    xdotool key --window "$window" Tab
    xdotool type --window "$window" --delay 50 "2.27"
    xdotool key --window "$window" Tab space
    sleep "$1"
    import -window "$window" "$2"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
  ' screenshot "$seconds" "$3"
  echo "Wrote $3"
}

shoot 1 1280x1024 docs/screenshot.png
shoot 2 2560x2048 docs/screenshot-hidpi.png
