# The Debian packages the build, the tests and the program need; sourced by the scripts.
# The compiler and make come with build-essential, which every Debian package build has; the rest
# is exactly the Build-Depends of debian/control (scripts/package.sh checks that they agree).
VELLORA_TOOLCHAIN_PACKAGES=(g++ make)
VELLORA_BUILD_DEPENDS=(cmake fonts-dejavu-core fonts-liberation2 libbenchmark-dev libgmock-dev
  libgtest-dev libmpfr-dev librsvg2-bin ninja-build qt6-base-dev)
VELLORA_BUILD_PACKAGES=("${VELLORA_TOOLCHAIN_PACKAGES[@]}" "${VELLORA_BUILD_DEPENDS[@]}")
# The cross build for 64-bit ARM and its test run: the cross compiler, the user-mode emulator
# and GoogleTest's source, which is compiled with the cross compiler.
VELLORA_AARCH64_PACKAGES=(make cmake ninja-build g++-aarch64-linux-gnu qemu-user googletest)

# Installs whichever of the named packages are missing (through sudo when not root).
vellora_install_missing() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# The release mark of a package built here: empty on Debian 12, the oldest release the program is
# built for, "+deb13" on Debian 13 and so on. A package depends on the library versions of the
# release it was built on, so packages of two releases must not share a version or a file name.
vellora_release_suffix() {
  (
    . /etc/os-release 2>/dev/null || exit 0
    if [ "${ID:-}" = debian ] && [ -n "${VERSION_ID:-}" ] && [ "$VERSION_ID" != 12 ]; then
      echo "+deb$VERSION_ID"
    fi
  )
}
