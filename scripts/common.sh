# shellcheck shell=bash disable=SC2034  # the variables are for the scripts that source it
# What the scripts share. Each script sources it first, by its own resolved path:
#   source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/common.sh"
# so that it works from any folder and through symbolic links. It sets VELLORA_TOP, the checkout
# as a physical path, and changes to it; VELLORA_SCRIPT is the resolved path of the script.
VELLORA_SCRIPT=$(realpath "${BASH_SOURCE[1]:-$0}")
VELLORA_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
cd "$VELLORA_TOP" || exit

# The Debian packages the build, the tests and the program need.
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

VELLORA_SUDO=()
[ "$(id -u)" -eq 0 ] || VELLORA_SUDO=(sudo)
VELLORA_APT=("${VELLORA_SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get
  -o DPkg::Lock::Timeout=600)
# Caches that outlive a checkout (toolchains built from source), per user.
VELLORA_CACHE=${VELLORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vellora}
# Set by --yes: upgrades of packages already installed may go ahead without asking.
VELLORA_YES=false

vellora_fail() {
  echo "$(basename "$VELLORA_SCRIPT"): $*" >&2
  exit 1
}

# Commands run when the script ends, however it ends, in the order they were added; last, what
# the run made in the checkout (VELLORA_MADE) is handed to the user who started it.
VELLORA_AT_EXIT=()
VELLORA_MADE=()
vellora_at_exit() { VELLORA_AT_EXIT+=("$1"); }
vellora_exit() {
  local command
  for command in "${VELLORA_AT_EXIT[@]}"; do eval "$command" || true; done
  vellora_give_back "${VELLORA_MADE[@]}"
}
trap vellora_exit EXIT

# Run through sudo, a script makes files as root; they are given to the user who started it, so
# that the same command without sudo can write there later. Links are changed, not followed.
vellora_give_back() {
  [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_UID:-}" ] || return 0
  local path
  for path in "$@"; do
    [ -e "$path" ] || [ -L "$path" ] || continue
    chown -R -P -h "$SUDO_UID:${SUDO_GID:-$SUDO_UID}" -- "$path"
  done
}

# Reads the options the package scripts share, --arch ARCHITECTURE and --yes, into
# VELLORA_ARCH (this machine's architecture when not given) and VELLORA_YES. Returns 1 on
# anything else.
vellora_options() {
  VELLORA_ARCH=$(dpkg --print-architecture)
  while [ $# -gt 0 ]; do
    case $1 in
      --arch) [ $# -ge 2 ] || return 1; VELLORA_ARCH=$2; shift 2 ;;
      --yes) VELLORA_YES=true; shift ;;
      *) return 1 ;;
    esac
  done
}

# Writes the files git tracks, as they are in the work tree now, to standard output as a tar
# stream (a new file counts once it is added); outside git, everything but builds and dist/.
vellora_tracked_tar() {
  local git=(git -c safe.directory="$VELLORA_TOP" -C "$VELLORA_TOP")
  if "${git[@]}" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    "${git[@]}" ls-files -z --cached | tar -C "$VELLORA_TOP" --null -T - --ignore-failed-read -cf -
  else
    tar -C "$VELLORA_TOP" --exclude=./.git --exclude='./build*' --exclude=./dist -cf - .
  fi
}

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
  "${VELLORA_APT[@]}" update -qq
  "${VELLORA_APT[@]}" install -y --no-install-recommends "${missing[@]}"
}

# Prints the words of $1 in indented lines of at most 100 characters.
vellora_words() {
  local text
  text=$(tr '\n' ' ' <<<"$1" | fold -s -w 96 | sed 's/^/  /; s/ *$//')
  printf '%s\n' "$text"
}

# Reads apt's plan ($1, the output of apt-get -s) for what it would do to this machine ($2 says
# for what). A plan that removes a package stops the script. Upgrades and replacements of
# packages already installed ("Inst name [installed version] ...") are listed and go ahead only
# with --yes or when the user answers yes at a terminal; new packages need no answer.
vellora_consent() {
  local removed upgraded answer
  removed=$(sed -n 's/^Remv \([^ ]*\).*/\1/p' <<<"$1" | sort -u)
  [ -z "$removed" ] ||
    vellora_fail "$2 would remove packages of this machine (${removed//$'\n'/ }); stopping, nothing removed"
  upgraded=$(sed -n 's/^Inst \([^ ]*\) \[.*/\1/p' <<<"$1" | sort -u)
  [ -n "$upgraded" ] || return 0
  echo "$2 upgrades $(wc -l <<<"$upgraded") packages already installed on this machine:"
  vellora_words "$upgraded"
  $VELLORA_YES && return 0
  if [ -t 0 ]; then
    read -r -p "Upgrade them? [y/N] " answer
    [[ $answer == [yY]* ]] && return 0
  fi
  vellora_fail "not upgrading without consent; run again with --yes to allow it"
}

# Prepares a cross build for another architecture ($1): the cross compiler and the other named
# packages for this machine, and debian/control's Build-Depends for the cross build, whose
# libraries come for the other architecture beside this machine's own (Multi-Arch). The whole
# plan is shown first, with nothing changed yet: it is worked out from package lists fetched
# into a temporary folder. Then the architecture is added to dpkg, and the new packages are
# installed; upgrades of installed packages (a library installed for both architectures has one
# version for both) need consent (vellora_consent); a plan that removes a package stops.
vellora_install_cross() {
  local architecture=$1
  shift
  local native foreign preview plan
  native=$(dpkg --print-architecture)
  foreign=$(dpkg --print-foreign-architectures)
  preview=$(mktemp -d)
  vellora_at_exit "rm -rf '$preview'"
  mkdir -p "$preview/lists/partial" "$preview/cache/archives/partial"
  local look=(apt-get -q -o Dir::State::Lists="$preview/lists" -o Dir::Cache="$preview/cache"
    -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)" -o APT::Architectures::="$native"
    -o APT::Architectures::="$architecture")
  local other
  for other in $foreign; do look+=(-o APT::Architectures::="$other"); done
  echo "== The plan for the $architecture cross build (package lists fetched into $preview)"
  "${look[@]}" update -qq >/dev/null || vellora_fail "apt-get update for the plan failed"
  plan=$("${look[@]}" -s install --no-install-recommends "crossbuild-essential-$architecture" "$@" &&
    "${look[@]}" -s build-dep -a "$architecture" -P "cross,nocheck" --no-install-recommends ./) ||
    { echo "$plan" >&2; vellora_fail "apt cannot plan the $architecture build dependencies"; }
  local new
  new=$(sed -n 's/^Inst \([^ ]*\) (.*/\1/p' <<<"$plan" | sort -u)
  if ! grep -qx "$architecture" <<<"$foreign"; then
    echo "Adds the architecture $architecture to dpkg. To undo it later:"
    echo "  apt-get purge '?architecture($architecture)' && dpkg --remove-architecture $architecture"
  fi
  if [ -n "$new" ]; then
    echo "Installs $(wc -l <<<"$new") new packages:"
    vellora_words "$new"
  fi
  vellora_consent "$plan" "The $architecture cross build"

  if ! grep -qx "$architecture" <<<"$foreign"; then
    echo "Adding the architecture $architecture to dpkg"
    "${VELLORA_SUDO[@]}" dpkg --add-architecture "$architecture"
    "${VELLORA_APT[@]}" update -qq
  fi
  vellora_install_missing "crossbuild-essential-$architecture" "$@"
  plan=$("${VELLORA_APT[@]}" -s build-dep -a "$architecture" -P "cross,nocheck" \
    --no-install-recommends ./ 2>&1) || { echo "$plan" >&2; return 1; }
  grep -q '^Inst' <<<"$plan" || return 0
  # The lists may have moved on since the plan: anything new to upgrade is asked about again.
  vellora_consent "$plan" "The $architecture build dependencies"
  echo "Installing the $architecture build dependencies"
  "${VELLORA_APT[@]}" -y -qq build-dep -a "$architecture" -P "cross,nocheck" \
    --no-install-recommends ./ >/dev/null
}

# A field of an os-release file ($2, /etc/os-release by default), without its quotes; empty when
# the file has none. The file is read, never run.
vellora_os_field() {
  local value
  value=$(sed -n "s/^$1=//p" "${2:-/etc/os-release}" | tail -n 1) || return 1
  value=${value#[\"\']}
  printf '%s\n' "${value%[\"\']}"
}

# The release mark of a package built on the system that os-release file $1 describes
# (/etc/os-release by default): empty on Debian 12, the oldest release the program is built for;
# "+deb13" on Debian 13 and so on; "+deb" and the code name on testing and unstable, which have
# no version number ("+debforky"); on a system derived from Debian, its ID with its version or code
# name ("+ubuntu24.04"). A package depends on the library versions of the release it was built
# on, so packages of two releases must not share a version or a file name. Fails, printing
# nothing, when the file does not tell.
vellora_release_suffix() {
  local file=${1:-/etc/os-release} id version codename mark
  [ -r "$file" ] || { echo "cannot read $file" >&2; return 1; }
  id=$(vellora_os_field ID "$file") || return 1
  version=$(vellora_os_field VERSION_ID "$file")
  codename=$(vellora_os_field VERSION_CODENAME "$file")
  if [ "$id" = debian ]; then
    [ "$version" != 12 ] || return 0
    mark=deb${version:-$codename}
  else
    mark=$id${version:-$codename}
  fi
  mark=$(tr '[:upper:]' '[:lower:]' <<<"$mark" | tr -cd 'a-z0-9.')
  if [ -z "${version:-$codename}" ] || [ -z "$mark" ]; then
    echo "$file names no release version or code name" >&2
    return 1
  fi
  echo "+$mark"
}

# The package files in folder $1 built for release mark $2 (vellora_release_suffix) and
# architecture $3, one a line: vellora_<version><mark>_<architecture>.deb, the version being
# numbers and dots only, so that a Debian 12 package is never taken for a Debian 13 one.
vellora_debs() {
  local file version
  for file in "$1"/vellora_*_"$3".deb; do
    [ -f "$file" ] || continue
    version=${file##*/vellora_}
    version=${version%_"$3".deb}
    [[ $version == *"$2" ]] && [[ ${version%"$2"} =~ ^[0-9]+(\.[0-9]+)*$ ]] && echo "$file"
  done
  return 0
}

# Debian's archive as apt sources files name it (the files given, or this machine's), for code
# name $1: the first source signed by Debian's archive keyring, else the first one for release
# $1 with the main component that names no keyring of its own (a vendor's names its own); never a
# security archive. VELLORA_DEBIAN_MIRROR names another.
vellora_debian_mirror() {
  local codename=$1
  shift
  if [ -n "${VELLORA_DEBIAN_MIRROR:-}" ]; then
    echo "$VELLORA_DEBIAN_MIRROR"
    return
  fi
  [ $# -gt 0 ] || set -- /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources
  local file
  for file in "$@"; do
    [ -r "$file" ] || continue
    if [[ $file == *.sources ]]; then
      # deb822: one stanza a paragraph, comment lines anywhere.
      awk 'BEGIN { RS = ""; FS = "\n" }
        {
          types = ""; uris = ""; suites = ""; components = ""; signed = ""; enabled = "yes"
          for (i = 1; i <= NF; i++) {
            if ($i ~ /^[ \t]*#/ || $i !~ /:/) continue
            key = tolower(substr($i, 1, index($i, ":") - 1))
            value = substr($i, index($i, ":") + 1); gsub(/^[ \t]+|[ \t]+$/, "", value)
            if (key == "types") types = value
            else if (key == "uris") uris = value
            else if (key == "suites") suites = value
            else if (key == "components") components = value
            else if (key == "signed-by") signed = value
            else if (key == "enabled") enabled = tolower(value)
          }
          if (enabled == "no" || types !~ /(^| )deb( |$)/) next
          split(uris, u, " "); n = split(suites, s, " ")
          for (j = 1; j <= n; j++) print u[1], s[j], (signed == "" ? "-" : signed), " " components " "
        }' "$file"
    else
      # One line a source: deb [options] uri suite components...
      awk '$1 == "deb" {
          signed = ""; k = 2
          if ($2 ~ /^\[/) {
            for (; k <= NF; k++) {
              if ($k ~ /signed-by=/) { signed = $k; sub(/.*signed-by=/, "", signed); sub(/\]$/, "", signed) }
              if ($k ~ /\]$/) { k++; break }
            }
          }
          components = " "; for (i = k + 2; i <= NF; i++) components = components $i " "
          print $k, $(k + 1), (signed == "" ? "-" : signed), components
        }' "$file"
    fi
  done | awk -v codename="$codename" '
    $2 ~ /-security$/ || $2 ~ /\/updates$/ { next }
    $3 ~ /^\/usr\/share\/keyrings\/debian-archive-/ { if (signed == "") signed = $1; next }
    $3 == "-" && $2 == codename && $0 ~ / main( |$)/ && named == "" { named = $1 }
    END { if (signed != "") print signed; else if (named != "") print named; else exit 1 }'
}
