#!/usr/bin/env bash
# Installs dist/vellora_*_<architecture>.deb with apt, starts /usr/bin/vellora on a virtual
# display, finds its window, presses Start and sees the lattice picture change and both charts
# draw, then purges the package and whatever apt installed with it and checks that nothing of it
# is left in /usr. Run scripts/package.sh first.
#   scripts/install_test.sh               the package for this machine
#   scripts/install_test.sh --arch arm64  the package for another architecture (64-bit ARM
#                                         here), its libraries from Debian beside this machine's
#                                         (Multi-Arch), the program run under qemu's user-mode
#                                         emulator; scripts/package.sh --arch arm64 builds it
# Should apt want to upgrade packages already installed for it, it asks first (--yes allows it).
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/common.sh"

fail() { vellora_fail "$@"; }

# --windows: the Windows build, in scripts/windows.sh.
[ "${1:-}" != --windows ] || exec bash scripts/windows.sh install-test "${@:2}"

vellora_options "$@" || { echo "usage: $0 [--arch ARCHITECTURE] [--yes]" >&2; exit 2; }
architecture=$VELLORA_ARCH
run=(/usr/bin/vellora)
tools=(xvfb xauth xdotool imagemagick x11-utils)
if [ "$architecture" != "$(dpkg --print-architecture)" ]; then
  # qemu names its emulators by processor: qemu-aarch64 for arm64.
  cpu=$(dpkg-architecture -a "$architecture" -qDEB_HOST_GNU_CPU 2>/dev/null) ||
    fail "dpkg knows no architecture $architecture"
  run=("qemu-$cpu" "${run[@]}")
  tools+=(qemu-user)
fi
vellora_install_missing "${tools[@]}"

# The package of this machine's release (a Debian 13 one is vellora_<version>+deb13_<arch>.deb).
suffix=$(vellora_release_suffix /etc/os-release) || fail "cannot tell which Debian release this is"
mapfile -t debs < <(vellora_debs dist "$suffix" "$architecture")
[ ${#debs[@]} -eq 1 ] ||
  fail "expected one dist/vellora_<version>${suffix}_$architecture.deb; run scripts/package.sh"
deb="$VELLORA_TOP/${debs[0]}"

installed() { dpkg-query -W -f='${Status}' vellora 2>/dev/null | grep -q 'install ok installed'; }
if installed; then
  fail "vellora is installed already; this test installs and removes it, so remove it first"
fi
# What apt newly installs (the package and, on a machine without them, its libraries) is what the
# test removes again. Upgrades of installed packages ("Inst name [old version] ...") need consent
# and stay.
plan=$(apt-get -s install --no-install-recommends "$deb")
mapfile -t added < <(sed -n 's/^Inst \([^ ]*\) (.*/\1/p' <<<"$plan")
[ ${#added[@]} -gt 0 ] || fail "apt would install nothing from $deb"
vellora_consent "$plan" "Installing $(basename "$deb")"
work=$(mktemp -d)
purge() { "${VELLORA_APT[@]}" purge -y -qq "${added[@]}" >/dev/null; }
vellora_at_exit 'if installed; then purge || true; fi'
vellora_at_exit "rm -rf '$work'"

echo "== apt-get install $(basename "$deb") (${#added[@]} new packages: ${added[*]})"
"${VELLORA_APT[@]}" install -y -qq --no-install-recommends "$deb"
dpkg-query -L vellora | sort >"$work/files"
for path in /usr/bin/vellora /usr/share/applications/org.vellora.Vellora.desktop \
  /usr/share/metainfo/org.vellora.Vellora.metainfo.xml /usr/share/man/man1/vellora.1.gz \
  /usr/share/icons/hicolor/scalable/apps/org.vellora.Vellora.svg \
  /usr/share/icons/hicolor/16x16/apps/org.vellora.Vellora.png \
  /usr/share/icons/hicolor/256x256/apps/org.vellora.Vellora.png; do
  [ -f "$path" ] || fail "the package did not install $path"
done

echo "== ${run[*]} on a virtual display"
# The lattice picture is at (8, 8) to (508, 508) of the client area, which starts below a menu bar
# of about 22 pixels; the crop stays well inside it. The Start button: the control panel at
# (552, 368) of the client area, the button at (206, 48) in it, 75 x 25. The charts, 305 x 169,
# at (552, 8) and (552, 192), draw their series in red on white.
# shellcheck disable=SC2016  # the script is for the inner shell, which expands it
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  cd "$1"
  shift
  "$@" &
  pid=$!
  trap "kill \$pid 2>/dev/null || true" EXIT
  # Outputs are read whole (into a variable, a file), never cut short by head or grep -q, which
  # pipefail would count as a failure of the writer. The toolkit owns small hidden windows too,
  # so the main window is the visible one with the title.
  windows=$(timeout 60 xdotool search --sync --onlyvisible --name "^Vellora$")
  window=${windows%%[[:space:]]*}
  [ -n "$window" ] || { echo "no window named Vellora" >&2; exit 1; }
  echo "window $window: $(xprop -id "$window" WM_CLASS)"
  xprop -id "$window" _NET_WM_ICON >icon.txt
  grep -q "Icon (" icon.txt || { echo "the window has no icon" >&2; exit 1; }
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window "$window" -crop 400x400+58+80 +repage before.png
  xdotool mousemove $((X + 552 + 206 + 37)) $((Y + 22 + 368 + 48 + 12)) click 1
  sleep 3
  import -window "$window" +repage window.png
  convert window.png -crop 400x400+58+80 +repage after.png
  changed=$(compare -metric AE before.png after.png null: 2>&1 || true)
  echo "lattice pixels changed after Start: $changed of 160000"
  [ "${changed%%.*}" -gt 1000 ] 2>/dev/null || { echo "the lattice did not change" >&2; exit 1; }
  for top in 8 192; do
    red=$(convert window.png -crop 305x169+552+$((22 + top)) +repage -fuzz 25% \
      -fill black +opaque red -fill white -opaque red -format "%[fx:round(mean*w*h)]" info:)
    echo "red pixels in the chart at y = $top: $red"
    [ "$red" -gt 50 ] || { echo "the chart at y = $top drew no series" >&2; exit 1; }
  done
  kill -0 "$pid" || { echo "the program ended" >&2; exit 1; }
' install_test "$work" "${run[@]}"
# VELLORA_SCREENSHOT=file.png keeps the window as it was after Start, to look at.
[ -z "${VELLORA_SCREENSHOT:-}" ] || cp "$work/window.png" "$VELLORA_SCREENSHOT"

echo "== apt-get purge ${added[*]}"
purge
while read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then fail "left behind after purge: $path"; fi
done <"$work/files"
leftovers=$(find /usr -iname '*vellora*' 2>/dev/null || true)
[ -z "$leftovers" ] || fail "left behind after purge: $leftovers"
! dpkg-query -W vellora >/dev/null 2>&1 || fail "dpkg still knows the package"
echo "install test passed: installed, started, ticked, removed without a trace in /usr"
