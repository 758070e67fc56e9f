#!/usr/bin/env bash
# Installs dist/vellora_*.deb with apt, starts /usr/bin/vellora on a virtual display, finds its
# window, presses Start and sees the lattice picture change, then purges the package and checks
# that nothing of it is left in /usr. Run scripts/package.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

vellora_install_missing xvfb xauth xdotool imagemagick x11-utils

fail() {
  echo "install_test.sh: $*" >&2
  exit 1
}

# The package of this machine's release (a Debian 13 one is vellora_<version>+deb13_<arch>.deb).
shopt -s extglob
debs=(dist/vellora_+([0-9.])"$(vellora_release_suffix)"_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one dist/vellora_*.deb; run scripts/package.sh"
deb="$PWD/${debs[0]}"

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
installed() { dpkg-query -W -f='${Status}' vellora 2>/dev/null | grep -q 'install ok installed'; }
if installed; then
  fail "vellora is installed already; this test installs and removes it, so remove it first"
fi
work=$(mktemp -d)
purge() { DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get purge -y -qq vellora >/dev/null; }
trap 'if installed; then purge || true; fi; rm -rf "$work"' EXIT

echo "== apt-get install $(basename "$deb")"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$deb"
dpkg-query -L vellora | sort >"$work/files"
for path in /usr/bin/vellora /usr/share/applications/org.vellora.Vellora.desktop \
  /usr/share/metainfo/org.vellora.Vellora.metainfo.xml /usr/share/man/man1/vellora.1.gz \
  /usr/share/icons/hicolor/scalable/apps/org.vellora.Vellora.svg \
  /usr/share/icons/hicolor/16x16/apps/org.vellora.Vellora.png \
  /usr/share/icons/hicolor/256x256/apps/org.vellora.Vellora.png; do
  [ -f "$path" ] || fail "the package did not install $path"
done

echo "== /usr/bin/vellora on a virtual display"
# The lattice picture is at (8, 8) to (508, 508) of the client area, which starts below a menu bar
# of about 22 pixels; the crop stays well inside it. The Start button: the control panel at
# (552, 368) of the client area, the button at (206, 48) in it, 75 x 25.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  cd "$1"
  /usr/bin/vellora &
  pid=$!
  trap "kill \$pid 2>/dev/null || true" EXIT
  # Outputs are read whole (into a variable, a file), never cut short by head or grep -q, which
  # pipefail would count as a failure of the writer. The first window found is the main window.
  windows=$(timeout 30 xdotool search --sync --name "^Vellora$")
  window=${windows%%[[:space:]]*}
  [ -n "$window" ] || { echo "no window named Vellora" >&2; exit 1; }
  echo "window $window: $(xprop -id "$window" WM_CLASS)"
  xprop -id "$window" _NET_WM_ICON >icon.txt
  grep -q "Icon (" icon.txt || { echo "the window has no icon" >&2; exit 1; }
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window "$window" -crop 400x400+58+80 +repage before.png
  xdotool mousemove $((X + 552 + 206 + 37)) $((Y + 22 + 368 + 48 + 12)) click 1
  sleep 2
  import -window "$window" -crop 400x400+58+80 +repage after.png
  changed=$(compare -metric AE before.png after.png null: 2>&1 || true)
  echo "lattice pixels changed after Start: $changed of 160000"
  [ "${changed%%.*}" -gt 1000 ] 2>/dev/null || { echo "the lattice did not change" >&2; exit 1; }
  kill -0 "$pid" || { echo "the program ended" >&2; exit 1; }
' install_test "$work"

echo "== apt-get purge vellora"
purge
while read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then fail "left behind after purge: $path"; fi
done <"$work/files"
leftovers=$(find /usr -iname '*vellora*' 2>/dev/null || true)
[ -z "$leftovers" ] || fail "left behind after purge: $leftovers"
! dpkg-query -W vellora >/dev/null 2>&1 || fail "dpkg still knows the package"
echo "install test passed: installed, started, ticked, removed without a trace in /usr"
