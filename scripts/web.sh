#!/usr/bin/env bash
# The program as a web page, built inside a Debian 13 system (scripts/debian13.sh runs it there):
#   scripts/web.sh qt       Qt for WebAssembly from Debian's qt6-base source package, built with
#                           Debian's emscripten into ~/.cache/vellora/qt-wasm-<key> (once per key)
#   scripts/web.sh test     that, then the Qt-free libraries and their tests compiled to
#                           WebAssembly into build-web-tests/ and run under Node
#   scripts/web.sh package  that, then the program into build-web/ and the page's files zipped
#                           into dist/vellora-<version>-web.zip
# Debian 13's own packages only; what it installs it names first. Two build jobs at most.
# scripts/web_page.sh runs it in the Debian 13 system and tests the page in Chromium.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/common.sh"

fail() { vellora_fail "$@"; }

case "$#:${1:-}" in
  1:qt | 1:test | 1:package) step=$1 ;;
  *) echo "usage: $0 qt | test | package" >&2; exit 2 ;;
esac

# Debian's emscripten (with its clang and Node), the host Qt whose tools the build runs, the
# build tools, dpkg-source for Qt's source package, GoogleTest's source for the tests, and zip
# and cmark-gfm for the package (the classroom guide in HTML).
web_packages=(emscripten qt6-base-dev qt6-base-dev-tools cmake ninja-build nodejs dpkg-dev
  googletest zip cmark-gfm)
vellora_install_missing "${web_packages[@]}"
export EMSDK=/usr/share/emscripten
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

# Qt for WebAssembly: static, single-threaded, only the modules the program uses. The cache key
# is the source package's version and a digest of the options, so a new Qt or new options build
# afresh beside the old one.
qt_options=(-DQT_QMAKE_TARGET_MKSPEC=wasm-emscripten -DBUILD_SHARED_LIBS=OFF -DFEATURE_thread=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=OFF -DQT_BUILD_TESTS=OFF
  -DQT_BUILD_EXAMPLES=OFF -DCMAKE_BUILD_TYPE=Release)
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
emscripten_version=$(dpkg-query -W -f='${Version}' emscripten)
qt_key=$(printf '%s\n' "$qt_version" "$emscripten_version" "${qt_options[@]}" | sha256sum | cut -c1-12)
qt_prefix=$VELLORA_CACHE/qt-wasm-${qt_version//[^0-9A-Za-z.+-]/_}-$qt_key
# The host Qt's CMake packages (its moc, rcc and uic run during the build).
host_cmake_dir=$(dirname "$(dirname "$(realpath /usr/lib/*/cmake/Qt6/Qt6Config.cmake)")")
toolchain=$EMSDK/cmake/Modules/Platform/Emscripten.cmake

build_qt() {
  [ -f "$qt_prefix/ready" ] && return 0
  echo "== Qt $qt_version for WebAssembly into $qt_prefix (once)"
  local work
  work=$(mktemp -d)
  vellora_at_exit "rm -rf '$work'"
  # apt fetches the source as its own unprivileged user, into a folder it may enter.
  chmod 755 "$work"
  # apt-get source needs the release's source archive; it is named only inside a system made
  # for the build (a chroot, as scripts/debian13.sh makes one), never on a machine of its own.
  if ! apt-get source --print-uris -qq "qt6-base=$qt_version" >/dev/null 2>&1; then
    ischroot || fail "no source archive in apt's sources; run this through scripts/debian13.sh"
    local suite
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "Adding Debian's source archive for $suite to this build system's apt sources"
    printf 'deb-src http://deb.debian.org/debian %s main\n' "$suite" \
      >/etc/apt/sources.list.d/vellora-source.list
    apt-get update -qq
  fi
  (
    cd "$work"
    apt-get source -qq --download-only "qt6-base=$qt_version" >/dev/null
    dpkg-source -x --no-check ./qt6-base_*.dsc source >/dev/null
  )
  rm -rf "$qt_prefix"
  nice cmake -S "$work/source" -B "$work/build" -G Ninja "${qt_options[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" \
    -DCMAKE_INSTALL_PREFIX="$qt_prefix" >"$work/configure.log" 2>&1 ||
    { tail -n 40 "$work/configure.log" >&2; fail "Qt's configure failed"; }
  nice cmake --build "$work/build" --parallel "$jobs" >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log" >&2; fail "Qt's build failed"; }
  cmake --install "$work/build" >/dev/null
  touch "$qt_prefix/ready"
}

build_qt
[ "$step" = qt ] && exit 0

# The Qt-free libraries and their tests under Node. A few tests need what emscripten's file
# system does not have; they are named here with the reason and left out.
skipped=(
  "BmpWriterTest.PermissionBitsOfAReplacedFileAndOfANewFile|emscripten's file system has no umask or owners"
  "BmpWriterTest.WriteProtectedFilesAndFoldersAndTheInPlaceFallback|emscripten's file system lets every file be written"
  "BmpWriterTest.AFileSizeLimitFailsTheSaveCleanly|emscripten has no file size limit (setrlimit)"
)
if [ "$step" = test ]; then
  echo "== the Qt-free suite compiled to WebAssembly, run under Node"
  cmake -S . -B build-web-tests -G Ninja --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DVELLORA_BUILD_GUI=OFF -DVELLORA_BUILD_BENCH=OFF -DVELLORA_GTEST_FROM_SOURCE=ON >/dev/null
  nice cmake --build build-web-tests --parallel "$jobs"
  exclude=()
  for entry in "${skipped[@]}"; do
    echo "Skipped under Node: ${entry%%|*}: ${entry#*|}"
    exclude+=("${entry%%|*}")
  done
  regex=$(IFS='|'; echo "${exclude[*]}")
  ctest --test-dir build-web-tests --output-on-failure -E "^(${regex//./\\.})\$"
  exit 0
fi

# The program, and the page's files in dist/vellora-<version>-web.zip.
echo "== the program for WebAssembly"
cmake -S . -B build-web -G Ninja --toolchain "$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DVELLORA_BUILD_TESTS=OFF -DVELLORA_BUILD_BENCH=OFF >/dev/null
nice cmake --build build-web --parallel "$jobs"

version=$(sed -n 's/^project(Vellora VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
page=$(mktemp -d)
vellora_at_exit "rm -rf '$page'"
cp web/index.html build-web/vellora.js build-web/vellora.wasm "$page/"
cp "$qt_prefix/plugins/platforms/qtloader.js" "$page/"
# The classroom guide with its pictures.
mkdir "$page/guide"
cp docs/guide/*.png "$page/guide/"
{
  printf '<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
  printf '<title>Vellora in the classroom</title>\n'
  printf '<style>body { max-width: 50em; margin: 1em auto; padding: 0 1em; font: 16px/1.5 sans-serif; }\n'
  printf 'img { max-width: 100%%; } table { border-collapse: collapse; }\n'
  printf 'td, th { border: 1px solid #888; padding: 0.2em 0.5em; }</style>\n</head>\n<body>\n'
  cmark-gfm --extension table docs/guide.md
  printf '</body>\n</html>\n'
} >"$page/guide.html"
# The licences: the page links Qt statically, whose WebAssembly platform plugin is under the GPL
# version 3 only, so the page as a whole is under that licence; Vellora's own code is MIT.
cp /usr/share/common-licenses/GPL-3 "$page/COPYING"
cp LICENSE "$page/LICENSE-Vellora.txt"
qt_copyright=(/usr/share/doc/libqt6core6*/copyright)
cp "${qt_copyright[0]}" "$page/COPYRIGHT-Qt.txt"
cp /usr/share/doc/emscripten/copyright "$page/COPYRIGHT-emscripten.txt"
cat >"$page/NOTICE.txt" <<NOTICE
Vellora $version as a web page

This page (index.html, qtloader.js, vellora.js and vellora.wasm) contains Vellora, the Qt
toolkit $qt_version (qtbase, linked in statically) and the emscripten $emscripten_version runtime.
Qt's WebAssembly platform plugin and loader are licensed under the GNU General Public License
version 3 only, so the page as a whole is distributed under the GNU General Public License
version 3 (COPYING). Qt's copyright and licence notices are in COPYRIGHT-Qt.txt, emscripten's
in COPYRIGHT-emscripten.txt.

Vellora's own code is under the MIT licence (LICENSE-Vellora.txt).

The corresponding source:
- Qt: Debian 13's source package qt6-base, version $qt_version
  (apt-get source qt6-base=$qt_version, or https://deb.debian.org/debian/pool/main/q/qt6-base/),
  built for WebAssembly with these options: ${qt_options[*]}
- Vellora $version: $(sed -n 's/.*HOMEPAGE_URL \([^ ]*\).*/\1/p' CMakeLists.txt), built by scripts/web.sh
- emscripten: Debian 13's source package emscripten, version $emscripten_version
NOTICE
mkdir -p dist
zip_file=dist/vellora-$version-web.zip
rm -f "$zip_file"
(cd "$page" && zip -q -X -r - .) >"$zip_file"
echo "== $zip_file: $(stat -c %s "$zip_file") bytes; vellora.wasm $(stat -c %s build-web/vellora.wasm) bytes, $(gzip -9 -c build-web/vellora.wasm | wc -c) with gzip"
