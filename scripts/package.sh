#!/usr/bin/env bash
# Builds the Debian package with Debian's own tools and checks it; leaves
#   dist/vellora_<version>_<architecture>.deb
#   scripts/package.sh               for this machine's architecture, running the test suite
#   scripts/package.sh --web         the web page, dist/vellora-<version>-web.zip (web_page.sh)
#   scripts/package.sh --arch arm64  cross-built for another one (64-bit ARM here), without the
#                                    tests; the build tools of this machine and the other
#                                    architecture's libraries are installed side by side, after
#                                    the plan is shown; --yes allows upgrading packages already
#                                    installed, which apt may want for that
# (on Debian 13 dist/vellora_<version>+deb13_<architecture>.deb, a package of that release, and
# so on: every release but Debian 12 marks its packages).
# The build runs in a copy of the checkout in a temporary folder, so the checkout stays as it is;
# the package build runs the test suite headless. Then lintian must report no error and no
# warning on the source and the binary package, and desktop-file-validate and appstreamcli must
# accept the desktop entry and the metadata the package ships.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/common.sh"

fail() { vellora_fail "$@"; }

# --windows: the Windows build, in scripts/windows.sh.
[ "${1:-}" != --windows ] || exec bash scripts/windows.sh package "${@:2}"

# --web: the web page, in scripts/web_page.sh.
[ "$*" != --web ] || exec bash scripts/web_page.sh package

vellora_options "$@" || { echo "usage: $0 [--arch ARCHITECTURE] [--yes]" >&2; exit 2; }
build_architecture=$(dpkg --print-architecture)
architecture=$VELLORA_ARCH

VELLORA_PACKAGE_TOOLS=(build-essential debhelper dpkg-dev fakeroot lintian desktop-file-utils
  appstream)
build_options="parallel=$(nproc)"
build_flags=()
if [ "$architecture" = "$build_architecture" ]; then
  vellora_install_missing "${VELLORA_BUILD_PACKAGES[@]}" "${VELLORA_PACKAGE_TOOLS[@]}"
else
  # The tests are built for the other architecture and cannot run here, so the cross build
  # leaves them out (the nocheck profile also drops their build dependencies).
  build_options+=" nocheck"
  build_flags=(-a "$architecture" "-Pcross,nocheck")
  vellora_install_cross "$architecture" "${VELLORA_PACKAGE_TOOLS[@]}"
fi

# One list of build packages: debian/control's Build-Depends, debhelper and the build profile
# markers aside, are exactly VELLORA_BUILD_DEPENDS of scripts/common.sh.
control_depends=$(perl -MDpkg::Control::Info -e \
  'print Dpkg::Control::Info->new("debian/control")->get_source()->{"Build-Depends"}' |
  tr ',' '\n' | sed 's/<[^>]*>//g; s/^[[:space:]]*//; s/[[:space:]]*$//' |
  grep -v -e '^$' -e '^debhelper-compat ' |
  sort)
script_depends=$(printf '%s\n' "${VELLORA_BUILD_DEPENDS[@]}" | sort)
if [ "$control_depends" != "$script_depends" ]; then
  diff <(echo "$script_depends") <(echo "$control_depends") >&2 || true
  fail "debian/control's Build-Depends (>) and scripts/common.sh (<) disagree"
fi

# One version: dpkg takes it from debian/changelog, everything else from CMake's project().
version=$(dpkg-parsechangelog -S Version)
cmake_version=$(sed -n 's/^project(Vellora VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ "$version" = "$cmake_version" ] ||
  fail "debian/changelog is at $version, CMakeLists.txt at $cmake_version"
# Built on another release than Debian 12, the package is a rebuild for that release and says so
# in its version (1.0.0+deb13), through a changelog entry in the build copy that names the
# release. The entry is dated one second after the release's, which keeps the build reproducible
# and the release day unchanged.
suffix=$(vellora_release_suffix /etc/os-release) || fail "cannot tell which Debian release this is"
rebuild_entry=""
if [ -n "$suffix" ]; then
  codename=$(vellora_os_field VERSION_CODENAME)
  timestamp=$(dpkg-parsechangelog -S Timestamp)
  maintainer=$(dpkg-parsechangelog -S Maintainer)
  [ -n "$codename" ] || fail "/etc/os-release names no VERSION_CODENAME"
  [[ $timestamp =~ ^[0-9]+$ ]] || fail "debian/changelog gives no time stamp"
  [ -n "$maintainer" ] || fail "debian/changelog names no maintainer"
  date=$(date -u -R -d "@$((timestamp + 1))")
  rebuild_entry=$(printf 'vellora (%s) %s; urgency=medium\n\n  * Built for %s.\n\n -- %s  %s\n\n' \
    "$version$suffix" "$codename" "$(vellora_os_field PRETTY_NAME)" "$maintainer" "$date")
  version+=$suffix
fi

work=$(mktemp -d)
vellora_at_exit "rm -rf '$work'"
source_dir="$work/vellora-$version"
mkdir "$source_dir"
vellora_tracked_tar | tar -xf - -C "$source_dir"
if [ -n "$rebuild_entry" ]; then
  printf '%s\n\n' "$rebuild_entry" | cat - debian/changelog >"$source_dir/debian/changelog"
fi

# The build's long log goes to dist/, its end to the terminal should the build fail.
mkdir -p dist
VELLORA_MADE+=(dist)
log="dist/vellora_${version}_${architecture}.build"
echo "== dpkg-buildpackage (log: $log)"
if ! { (cd "$work" && dpkg-source -b "vellora-$version") &&
  (cd "$source_dir" &&
    DEB_BUILD_OPTIONS="$build_options" dpkg-buildpackage -us -uc -b "${build_flags[@]}"); } \
  >"$log" 2>&1; then
  tail -n 60 "$log" >&2
  fail "the package build failed; the whole log is in $log"
fi
grep -E '^[0-9]+% tests passed' "$log" || true

deb="$work/vellora_${version}_${architecture}.deb"
[ -f "$deb" ] || fail "dpkg-buildpackage left no $(basename "$deb")"

echo "== lintian"
lintian --fail-on error,warning --display-info \
  "$work/vellora_${version}.dsc" "$work/vellora_${version}_${architecture}.changes"
echo "lintian: no errors, no warnings"

echo "== desktop-file-validate, appstreamcli validate"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml

# The previous package of this release and architecture makes way; other releases' stay.
vellora_debs dist "$suffix" "$architecture" | xargs -r rm -f --
cp "$deb" dist/
echo "== dist/$(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb -f "$deb" Depends | sed 's/^/Depends: /'
