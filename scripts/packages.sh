# The Debian packages the build, the tests and the program need; sourced by the scripts.
VELLORA_BUILD_PACKAGES=(g++ make cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev fonts-dejavu-core fonts-liberation2)

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
