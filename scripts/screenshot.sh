#!/usr/bin/env bash
# Makes the pictures in docs/: runs the program on a virtual display, sets T = 2.27 (near the
# critical temperature), starts it, waits so that both charts have a history, and takes a picture
# of the main window with ImageMagick. Once at 100 % (docs/screenshot.png) and once at 200 %
# (docs/screenshot-hidpi.png, QT_SCALE_FACTOR=2 on a display twice as large).
#   scripts/screenshot.sh [seconds]      (default 8)
#   scripts/screenshot.sh --guide        the pictures of docs/guide.md instead (docs/guide/*.png):
#                                        one session through its experiments, about 2 minutes
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/common.sh"

VELLORA_SCREENSHOT_PACKAGES=(xvfb xauth imagemagick xdotool)
vellora_install_missing "${VELLORA_BUILD_PACKAGES[@]}" "${VELLORA_SCREENSHOT_PACKAGES[@]}"
VELLORA_MADE+=(build docs/screenshot.png docs/screenshot-hidpi.png docs/guide)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target vellora

mkdir -p docs

# shoot <scale> <screen> <output>
shoot() {
  # shellcheck disable=SC2016  # the script is for the inner shell, which expands it
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

# The experiments of docs/guide.md in its order, at 100 %, as a student runs them: every value is
# typed into its edit (Tab selects the edit's text, so typing replaces it; entering an edit pauses
# the run), Start is pressed, and the window is taken at the moment the guide describes. The
# waits are the guide's, at 5 ticks a second.
guide() {
  mkdir -p docs/guide
  # shellcheck disable=SC2016  # the script is for the inner shell, which expands it
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    build/vellora &
    pid=$!
    window=$(xdotool search --sync --name "^Vellora$" | head -n 1)
    sleep 2
    xdotool windowfocus --sync "$window"
    key() { xdotool key --window "$window" "$@"; }
    typed() { xdotool type --window "$window" --delay 50 -- "$1"; }
    # From the Start button the Tab order runs h, J1, Stop, J2, track bar, T, Start.
    run() {  # run <h> <J1> <J2> <T>
      key Tab; typed "$1"; key Tab; typed "$2"; key Tab Tab; typed "$3"
      key Tab Tab; typed "$4"; key Tab space
    }
    shot() {
      import -window "$window" -strip -define png:compression-level=9 "docs/guide/$1.png"
      echo "Wrote docs/guide/$1.png"
    }
    # The focus starts on the track bar: Tab to T, Tab to Start, and start with the start-up values.
    key Tab Tab space
    sleep 5; shot 1-hot
    run 0 1 0 10; sleep 2; run 0 1 0 2.0; sleep 20; shot 2-cooling
    run 0 1 0 10; sleep 2; run 0 1 0 2.27; sleep 10; key space; sleep 20; shot 3-critical
    run 0 1 0 10; sleep 2; run 0.1 1 0 2.0; sleep 10; run -0.1 1 0 2.0; sleep 4; shot 4-field
    run 0 -1 0 10; sleep 2; run 0 -1 0 1.5; sleep 10; shot 5-antiferromagnet
    run 0 1 -0.25 10; sleep 2; run 0 1 -0.25 1; sleep 5; shot 6-competition-a
    run 0 1 -1 1; sleep 10; shot 6-competition-b
    kill "$pid"
    wait "$pid" 2>/dev/null || true
  '
}

if [ "${1:-}" = --guide ]; then
  guide
  exit
fi
seconds="${1:-8}"
shoot 1 1280x1024 docs/screenshot.png
shoot 2 2560x2048 docs/screenshot-hidpi.png
