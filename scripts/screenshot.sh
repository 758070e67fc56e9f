#!/usr/bin/env bash
# Makes docs/screenshot.png: runs the program on a virtual display, clicks Start, waits a few
# seconds so the charts have lines, and takes a picture of the main window with ImageMagick.
#   scripts/screenshot.sh [seconds]      (default 6)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

VELLORA_SCREENSHOT_PACKAGES=(xvfb xauth imagemagick xdotool)
vellora_install_missing "${VELLORA_BUILD_PACKAGES[@]}" "${VELLORA_SCREENSHOT_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target vellora

seconds="${1:-6}"
mkdir -p docs
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  build/vellora &
  pid=$!
  sleep 2
  window=$(xdotool search --sync --name "^Vellora$" | head -n 1)
  eval "$(xdotool getwindowgeometry --shell "$window")"
  # The Start button: the control panel at (552, 368) of the client area, the button at (206, 48)
  # in it, 75 x 25; the menu bar above the client area is about 22 pixels high.
  xdotool mousemove $((X + 552 + 206 + 37)) $((Y + 22 + 368 + 48 + 12)) click 1
  sleep "$1"
  import -window "$window" docs/screenshot.png
  kill "$pid"
  wait "$pid" 2>/dev/null || true
' screenshot "$seconds"
echo "Wrote docs/screenshot.png"
