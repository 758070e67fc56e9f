# The Debian packages the build, the tests and the program need; sourced by the scripts.
# The compiler and make come with build-essential, which every Debian package build has;
# VELLORA_BUILD_DEPENDS is exactly the Build-Depends of debian/control (scripts/package.sh checks
# that they agree), and the package build leaves out the benchmarks, so their library is extra.
VELLORA_TOOLCHAIN_PACKAGES=(g++ make)
VELLORA_BUILD_DEPENDS=(cmake fonts-dejavu-core fonts-liberation2 libgtest-dev libmpfr-dev
  librsvg2-bin ninja-build qt6-base-dev)
VELLORA_BENCH_PACKAGES=(libbenchmark-dev)
VELLORA_BUILD_PACKAGES=("${VELLORA_TOOLCHAIN_PACKAGES[@]}" "${VELLORA_BUILD_DEPENDS[@]}"
  "${VELLORA_BENCH_PACKAGES[@]}")
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
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y \
    --no-install-recommends "${missing[@]}"
}

# Prepares a cross build for another architecture ($1): adds it to dpkg, installs the cross
# compiler and the other named packages for this machine, and debian/control's Build-Depends for
# the cross build, whose libraries come for the other architecture beside this machine's own
# (Multi-Arch). Stops, installing nothing, should apt want to remove a package for it.
vellora_install_cross() {
  local architecture=$1
  shift
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  local apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
  local build_dep=(build-dep -a "$architecture" -P "cross,nocheck" --no-install-recommends ./)
  local foreign plan
  foreign=$(dpkg --print-foreign-architectures)
  if ! grep -qx "$architecture" <<<"$foreign"; then
    echo "Adding the architecture $architecture to dpkg"
    "${sudo[@]}" dpkg --add-architecture "$architecture"
    "${apt[@]}" update -qq
  fi
  vellora_install_missing "crossbuild-essential-$architecture" "$@"
  # apt's plan first; package lists without the architecture's packages are fetched once.
  if ! plan=$("${apt[@]}" -s "${build_dep[@]}" 2>&1); then
    "${apt[@]}" update -qq
    plan=$("${apt[@]}" -s "${build_dep[@]}" 2>&1) || { echo "$plan" >&2; return 1; }
  fi
  if grep '^Remv' <<<"$plan" >&2; then
    echo "The $architecture build dependencies would remove the packages above; stopping" >&2
    return 1
  fi
  grep -q '^Inst' <<<"$plan" || return 0
  # A library installed for both architectures has one version for both, so the new ones can
  # upgrade this machine's own ("Inst name [installed version] (new version ...)").
  local new upgraded
  new=$(grep -c '^Inst [^ ]* (' <<<"$plan" || true)
  upgraded=$(grep -c '^Inst [^ ]* \[' <<<"$plan" || true)
  echo "Installing the $architecture build dependencies: $new new packages, $upgraded upgraded"
  "${apt[@]}" -y -qq "${build_dep[@]}" >/dev/null
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
