#!/usr/bin/env bash
# The Windows build on Debian 12: MinGW-w64 (POSIX threads) and a Qt for Windows built here from
# Debian's own qt6-base source package, of the same version as the host's Qt; the tests and the
# installed program run under Wine. Called by the other scripts with --windows:
#   scripts/windows.sh prepare       install what the rest needs from Debian
#   scripts/windows.sh qt            build Qt for Windows (cached; prints nothing else when cached)
#   scripts/windows.sh test          cross-build the suite into build-windows/, run it under Wine
#   scripts/windows.sh test --libraries  the same without Qt (build-windows-libraries/)
#   scripts/windows.sh package       dist/vellora-<version>-windows-x64.msi and .zip, SHA256SUMS
#   scripts/windows.sh install-test  install, use and remove the MSI, then the zip, under Wine
#   scripts/windows.sh screenshots   the window under Wine at 100 % and 200 %, to look at
# Qt is cached in ~/.cache/vellora/qt-windows-<version>-<key>, keyed by the source version and
# the configure options; delete that folder to build it again.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/common.sh"
root=$VELLORA_TOP

fail() { vellora_fail "$@"; }
give_back() { vellora_give_back "$@"; }

# What the Windows build, its tests under Wine and the packaging need from Debian.
WINDOWS_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  qt6-base-dev qt6-base-dev-tools dpkg-dev wine wine64 wixl pandoc zip xvfb xdotool imagemagick
  fonts-dejavu-core fonts-liberation2 librsvg2-bin googletest icoutils unzip)

# The Windows build is made on Debian 12, whose Qt the source package must match.
check_host() {
  local release
  release=$(sed -n 's/^VERSION_ID="\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' /etc/os-release)
  [ "$release" = 12 ] ||
    fail "the Windows build is made on Debian 12 (this is Debian ${release:-unknown}); stopping."
}

qt_version() {
  dpkg-query -W -f='${Version}' "qt6-base-dev:$(dpkg --print-architecture)" 2>/dev/null ||
    fail "qt6-base-dev is not installed"
}

# Only what the program needs: Core, Gui, Widgets, Test, the Windows platform plugin and the
# windowsvista style. Debian's +dfsg source lacks Wacom's wintab, hence no tablet events.
# OpenGL and Direct2D stay on: in 6.4.2 the Windows platform plugin does not compile without
# OpenGL (qwindowswindow.cpp), nor link without Direct2D; the Direct2D platform plugin is not
# built. The bundled FreeType brings the offscreen platform, on which the window tests run.
QT_OPTIONS=(-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF
  -DFEATURE_fontconfig=OFF -DFEATURE_direct2d1_1=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_sql_sqlite=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_testlib=ON -DFEATURE_style_windowsvista=ON)

qt_prefix() {
  local version key
  version=$(qt_version)
  key=$(printf '%s\n' "$version" "${QT_OPTIONS[@]}" "$(x86_64-w64-mingw32-g++-posix -dumpfullversion)" |
    sha256sum | cut -c1-12)
  echo "$VELLORA_CACHE/qt-windows-${version//[^0-9A-Za-z.]/_}-$key"
}

# Debian's qt6-base source of the host's version, fetched with apt's source mechanism from the
# archives the host's sources already name, through a list of our own in a temporary folder:
# the host's apt configuration stays as it is.
fetch_qt_source() {
  local into=$1 version=$2 apt_dir="$1/apt"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/parts" "$apt_dir/archives/partial"
  # shellcheck disable=SC2016 # apt's own field syntax, not the shell's
  apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Identifier: Packages' |
    sort -u | sed 's/^/deb-src /' >"$apt_dir/sources.list"
  [ -s "$apt_dir/sources.list" ] || fail "the host's apt sources name no Debian archive"
  echo "Fetching Debian's qt6-base $version source from:"
  sed 's/^/  /' "$apt_dir/sources.list"
  local apt=(apt-get -o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/parts" -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache::Archives=$apt_dir/archives" -o "Dir::Cache::pkgcache="
    -o "Dir::Cache::srcpkgcache=" -o APT::Sandbox::User=root)
  "${apt[@]}" update -qq
  (cd "$into" && "${apt[@]}" source --download-only "qt6-base=$version") ||
    fail "Debian's qt6-base source $version (the host's Qt) is not in the archive; the source" \
      "and the host's Qt must be the same version. Stopping."
  (cd "$into" && dpkg-source -x ./*.dsc qtbase >/dev/null)
}

build_qt() {
  check_host
  vellora_install_missing "${WINDOWS_PACKAGES[@]}"
  local prefix version work
  prefix=$(qt_prefix)
  version=$(qt_version)
  if [ -f "$prefix/.complete" ]; then
    echo "Qt for Windows: $prefix (cached)"
    return 0
  fi
  work=$(mktemp -d "${TMPDIR:-/tmp}/vellora-qt-windows.XXXXXX")
  fetch_qt_source "$work" "$version"
  echo "Building Qt $version for Windows into $prefix (15 to 30 minutes)"
  local start=$SECONDS
  cmake -S "$work/qtbase" -B "$work/build" -G Ninja \
    --toolchain "$root/cmake/x86_64-w64-mingw32.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${QT_OPTIONS[@]}" >"$work/configure.log" 2>&1 ||
    { tail -40 "$work/configure.log"; fail "Qt's configure failed ($work/configure.log)"; }
  echo "  configured in $((SECONDS - start)) s"
  nice cmake --build "$work/build" --parallel "${VELLORA_JOBS:-2}" >"$work/build.log" 2>&1 ||
    { tail -40 "$work/build.log"; fail "Qt's build failed ($work/build.log)"; }
  cmake --install "$work/build" >/dev/null
  # Where the corresponding source is, for the licence notes we ship.
  cp "$work"/*.dsc "$prefix/"
  touch "$prefix/.complete"
  echo "  built and installed in $((SECONDS - start)) s"
  rm -rf "$work"
}

# The MinGW runtime DLLs the program and Qt need beside them.
MINGW_RUNTIME_DIRS=(/usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
MINGW_RUNTIME_DLLS=(libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)

# Cross-builds the project into $1 (build-windows/, or build-windows-libraries/ without Qt);
# the rest of the arguments are targets, all when none.
build_vellora() {
  local build=$1 options=()
  shift
  if [ "$build" = "$root/build-windows-libraries" ]; then
    options=(-DVELLORA_BUILD_GUI=OFF)
  else
    options=(-DVELLORA_WINDOWS_QT="$(qt_prefix)" -DQT_HOST_PATH=/usr
      -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
  fi
  local start=$SECONDS
  cmake -S "$root" -B "$build" -G Ninja --toolchain "$root/cmake/x86_64-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DVELLORA_BUILD_BENCH=OFF -DVELLORA_GTEST_FROM_SOURCE=ON \
    "${options[@]}" >/dev/null
  cmake --build "$build" --parallel "${VELLORA_JOBS:-2}" ${1:+--target "$@"}
  give_back "$build"
  echo "Vellora cross-built in $((SECONDS - start)) s"
}

# Wine in a prefix of our own ($1), made on first use, quiet, finding Qt and the MinGW runtime.
wine_environment() {
  local qt path dir
  qt=$(qt_prefix)
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  path="Z:$qt/bin"
  for dir in "${MINGW_RUNTIME_DIRS[@]}"; do path+=";Z:$dir"; done
  export WINEPATH=$path
  # Qt's variables reach a Windows program with Wine's prefix.
  export WINEQT_PLUGIN_PATH="Z:$qt/plugins"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver --wait
  fi
}

# The suite under Wine; with --libraries only the libraries and their tests, without Qt.
run_tests() {
  check_host
  local build="$root/build-windows"
  case "${1:-}" in
    "") build_qt ;;
    --libraries)
      build="$root/build-windows-libraries"
      vellora_install_missing "${WINDOWS_PACKAGES[@]}"
      ;;
    *) fail "usage: scripts/test.sh --windows [--libraries]" ;;
  esac
  build_vellora "$build"
  local start=$SECONDS
  wine_environment "$build/wine"
  # On Windows the offscreen platform, on which the window tests run, reads its fonts from one
  # folder: the same faces as on Linux.
  mkdir -p "$build/fonts"
  ln -sf /usr/share/fonts/truetype/liberation2/*.ttf /usr/share/fonts/truetype/dejavu/*.ttf \
    "$build/fonts/"
  export WINEQT_QPA_FONTDIR="Z:$build/fonts"
  # Each test program is started once (a Wine start costs seconds), by ctest with Wine as the
  # emulator the toolchain file names.
  local result=0
  ctest --test-dir "$build" --output-on-failure --timeout 600 || result=$?
  wineserver --kill || true
  give_back "$build"
  echo "Tests under Wine took $((SECONDS - start)) s."
  if [ -s "$build/windows-skipped.txt" ]; then
    echo "Not run on Windows:"
    sed 's/^/  /' "$build/windows-skipped.txt"
  fi
  # Test cases that skip themselves on Windows print their reason on the line before.
  local log="$build/Testing/Temporary/LastTest.log"
  grep -h --no-group-separator -B1 '^\[  SKIPPED \] .*ms)$' "$log" 2>/dev/null |
    paste -d '\t' - - | sed 's/^\(.*\)\t\[  SKIPPED \] \([^ ]*\) .*/  \2: \1/' || true
  return "$result"
}

# The DLLs Windows itself provides, which the program and Qt may import.
WINDOWS_DLLS="advapi32 authz bcrypt comctl32 comdlg32 crypt32 d2d1 d3d11 d3d12 d3d9 dwmapi dwrite
  dxgi gdi32 imm32 kernel32 mpr msvcrt netapi32 ole32 oleaut32 rpcrt4 setupapi shcore shell32
  shlwapi user32 userenv uxtheme version winmm ws2_32 wtsapi32 ntdll dxguid winspool oleacc
  usp10 hid opengl32 glu32"

# Copies the program, the Qt it needs and the MinGW runtime into $1, with the licences and the
# guide, and fails when anything imports a DLL that is neither there nor part of Windows.
collect_deployable() {
  local into=$1 qt dll dir found
  qt=$(qt_prefix)
  rm -rf "$into"
  mkdir -p "$into/platforms" "$into/styles" "$into/licences"
  cp "$root/build-windows/vellora.exe" "$into/"
  cp "$qt"/bin/Qt6{Core,Gui,Widgets}.dll "$into/"
  cp "$qt/plugins/platforms/qwindows.dll" "$into/platforms/"
  cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$into/styles/"
  for dll in "${MINGW_RUNTIME_DLLS[@]}"; do
    found=""
    for dir in "${MINGW_RUNTIME_DIRS[@]}"; do
      [ -f "$dir/$dll" ] && found=$dir/$dll && break
    done
    [ -n "$found" ] || fail "the MinGW runtime's $dll is missing"
    cp "$found" "$into/"
  done
  x86_64-w64-mingw32-strip --strip-unneeded "$into"/*.dll "$into"/*/*.dll "$into/vellora.exe"

  local shipped imports name missing=()
  shipped=$(find "$into" -iname '*.dll' -printf '%f\n' | tr '[:upper:]' '[:lower:]')
  while IFS= read -r binary; do
    imports=$(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')
    while IFS= read -r name; do
      [ -n "$name" ] || continue
      name=$(tr '[:upper:]' '[:lower:]' <<<"$name")
      grep -qxF "$name" <<<"$shipped" && continue
      grep -qw "${name%.dll}" <<<"$WINDOWS_DLLS" && continue
      [[ $name == api-ms-win-* ]] && continue
      missing+=("${binary#"$into"/} imports $name")
    done <<<"$imports"
  done < <(find "$into" -iname '*.exe' -o -iname '*.dll')
  if [ ${#missing[@]} -gt 0 ]; then
    printf '  %s\n' "${missing[@]}" >&2
    fail "DLLs imported that are neither shipped nor part of Windows"
  fi

  # The classroom guide as a web page beside its pictures.
  mkdir -p "$into/guide"
  cp "$root"/docs/guide/*.png "$into/guide/"
  pandoc --standalone --metadata title="Vellora: a classroom guide" \
    --metadata lang=en -o "$into/guide.html" "$root/docs/guide.md"

  cp "$root/LICENSE" "$into/licences/Vellora.txt"
  cp "$root/packaging/windows/LICENCES.txt" "$into/licences/README.txt"
  cp "$qt/LICENSES/LGPL-3.0-only.txt" "$into/licences/Qt-LGPL-3.0.txt" 2>/dev/null ||
    cp /usr/share/common-licenses/LGPL-3 "$into/licences/Qt-LGPL-3.0.txt"
  cp /usr/share/common-licenses/GPL-3 "$into/licences/GPL-3.0.txt"
  cp /usr/share/doc/mingw-w64-common/copyright "$into/licences/MinGW-w64-runtime.txt"
  cp /usr/share/doc/gcc-mingw-w64-base/copyright "$into/licences/GCC-runtime.txt"
  cp "$qt"/*.dsc "$into/licences/"
}

package() {
  check_host
  build_qt
  build_vellora "$root/build-windows" vellora
  local version start=$SECONDS
  version=$(sed -n 's/^project(Vellora VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
  local stage="$root/build-windows/stage" name="vellora-$version-windows-x64"
  collect_deployable "$stage/Vellora"
  mkdir -p "$root/dist"
  rm -f "$root/dist/$name.zip" "$root/dist/$name.msi"
  (cd "$stage" && TZ=UTC zip -q -r -X "$root/dist/$name.zip" Vellora)

  # The installer: our product description and the list of files wixl-heat makes; wixl takes
  # the files' names relative to the folder it runs in.
  cp "$root/build-windows/desktop/vellora.ico" "$stage/vellora.ico"
  (cd "$stage" && find Vellora -type f | sort |
    wixl-heat --var var.SourceDir -p Vellora/ --directory-ref INSTALLDIR \
      --component-group VelloraFiles --win64 >files.wxs &&
    wixl --arch x64 -D SourceDir=Vellora -D Version="$version" -D Win64=yes -D Icon=vellora.ico \
      -o "$root/dist/$name.msi" "$root/packaging/windows/vellora.wxs" files.wxs)
  (cd "$root/dist" && sha256sum "$name.msi" "$name.zip" >SHA256SUMS)
  give_back "$root/dist" "$root/build-windows"
  echo "Packaged in $((SECONDS - start)) s:"
  ls -l "$root/dist/$name.msi" "$root/dist/$name.zip"
}

# Starts the program ($1, a Windows path) on the virtual display, presses Start, sees the
# lattice change and both charts draw red, saves the picture through File > Save Image As...
# under the Windows path $2 and leaves with File > Exit. Runs inside xvfb-run; $3 is a folder
# for the screenshots.
use_program() {
  local program=$1 picture=$2 shots=$3 windows window pid changed red top
  wine "$program" >/dev/null 2>&1 &
  pid=$!
  windows=$(timeout 120 xdotool search --sync --onlyvisible --name "^Vellora$")
  window=${windows%%[[:space:]]*}
  [ -n "$window" ] || fail "no window named Vellora"
  sleep 2
  # shellcheck disable=SC2034 # SCREEN is set by the eval, and not needed
  local X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")"
  # As on Linux: the lattice picture at (8, 8) of the client area below the menu bar, the Start
  # button at (552 + 206, 368 + 48) and the charts at (552, 8) and (552, 192).
  local menu=${VELLORA_MENU_HEIGHT:-20}
  import -window root -crop "400x400+$((X + 58))+$((Y + menu + 58))" +repage "$shots/before.png"
  xdotool mousemove $((X + 552 + 206 + 37)) $((Y + menu + 368 + 48 + 12)) click 1
  sleep 4
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$shots/window.png"
  convert "$shots/window.png" -crop "400x400+58+$((menu + 58))" +repage "$shots/after.png"
  changed=$(compare -metric AE "$shots/before.png" "$shots/after.png" null: 2>&1 || true)
  echo "lattice pixels changed after Start: $changed of 160000"
  [ "${changed%%.*}" -gt 1000 ] 2>/dev/null || fail "the lattice did not change"
  for top in 8 192; do
    red=$(convert "$shots/window.png" -crop "305x169+552+$((menu + top))" +repage -fuzz 25% \
      -fill black +opaque red -fill white -opaque red -format "%[fx:round(mean*w*h)]" info:)
    echo "red pixels in the chart at y = $top: $red"
    [ "$red" -gt 50 ] || fail "the chart at y = $top drew no series"
  done
  # File > Save Image As..., the name typed into the dialog, Enter; then File > Exit.
  xdotool windowfocus --sync "$window" key --clearmodifiers alt+f
  sleep 1
  xdotool key a
  sleep 3
  import -window root "$shots/dialog.png"
  # Wine reads the keyboard's layout once, at its start, so letters outside it cannot be typed
  # by xdotool; the name is pasted, as a user may paste it too.
  printf '%s' "$picture" | xclip -selection clipboard 2>/dev/null
  xdotool key --clearmodifiers ctrl+v
  sleep 1
  import -window root "$shots/typed.png"
  xdotool key Return
  sleep 3
  import -window root "$shots/saved.png"
  xdotool windowfocus --sync "$window" key --clearmodifiers alt+f
  sleep 1
  xdotool key x
  local waited=0
  while kill -0 "$pid" 2>/dev/null; do
    [ $waited -lt 30 ] || fail "File > Exit did not end the program"
    sleep 1
    waited=$((waited + 1))
  done
}

# The picture saved under $1 (a Unix path): a whole 500 x 500, 32-bit BMP.
check_picture() {
  [ -f "$1" ] || fail "no picture saved as $1"
  local size header
  size=$(stat -c %s "$1")
  header=$(od -An -tx1 -N30 "$1" | tr -d ' \n')
  echo "saved $(basename "$1"): $size bytes"
  [ "$size" = 1000054 ] || fail "the saved picture has $size bytes, not 1000054"
  [ "$header" = 424d76420f00000000003600000028000000f4010000f401000001002000 ] ||
    fail "the saved picture's headers are wrong: $header"
}

install_test() {
  check_host
  vellora_install_missing "${WINDOWS_PACKAGES[@]}" xauth xclip
  local version name msi zip work
  version=$(sed -n 's/^project(Vellora VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
  name="vellora-$version-windows-x64"
  msi="$root/dist/$name.msi"
  zip="$root/dist/$name.zip"
  [ -f "$msi" ] || fail "no $msi; run scripts/package.sh --windows"
  [ -f "$zip" ] ||
    fail "no $msi and $zip; run scripts/package.sh --windows"
  work=$(mktemp -d "${TMPDIR:-/tmp}/vellora-windows-install.XXXXXX")
  # A fresh prefix, without Qt or the MinGW runtime on the path: the program must bring them.
  export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  unset WINEPATH WINEQT_PLUGIN_PATH
  # Greek folder, Cyrillic file name.
  local folder='C:\users\Public\Εικόνες' file='Картинка.bmp'
  local unix_folder="$WINEPREFIX/drive_c/users/Public/Εικόνες"
  local start=$SECONDS
  # The same installer one version on, to see a newer version replace this one and this one
  # refused over the newer.
  local stage="$root/build-windows/stage" newer="$work/newer.msi"
  local next="${version%.*}.$((${version##*.} + 1))"
  [ -f "$stage/files.wxs" ] || fail "no $stage; run scripts/package.sh --windows"
  (cd "$stage" && wixl --arch x64 -D SourceDir=Vellora -D Version="$next" \
    -D Win64=yes -D Icon=vellora.ico -o "$newer" "$root/packaging/windows/vellora.wxs" files.wxs)
  # The rest runs on a virtual display: this script again, at install_test_run.
  xvfb-run -a -s "-screen 0 1280x1024x24" bash "$VELLORA_SCRIPT" install-test-run "$work" \
    "$msi" "$zip" "$folder" "$file" "$unix_folder" "$newer" "$next"
  echo "Install test passed in $((SECONDS - start)) s"
  rm -rf "$work"
}

# The versions of Vellora that Add/Remove Programs lists, one a line.
listed_versions() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' | awk '/DisplayName.*Vellora/ { found = 1 } /^$/ { found = 0 }
      found && /DisplayVersion/ { print $NF }'
}

install_test_run() {
  local work=$1 msi=$2 zip=$3 folder=$4 file=$5 unix_folder=$6 newer=$7 next=$8
  local drive="$WINEPREFIX/drive_c" programs menu
  wineboot --init >/dev/null 2>&1
  wineserver --wait
  programs="$drive/Program Files/Vellora"
  mkdir -p "$unix_folder" "$work/msi" "$work/zip"

  echo "== msiexec /i $(basename "$msi") /qn"
  wine msiexec /i "$(winepath -w "$msi")" /qn
  wineserver --wait
  for path in "$programs/vellora.exe" "$programs/Qt6Core.dll" "$programs/platforms/qwindows.dll" \
    "$programs/guide.html" "$programs/licences/README.txt"; do
    [ -f "$path" ] || fail "the MSI did not install $path"
  done
  # Windows puts a per-machine install's entries into the Start menu of all users; Wine puts them
  # into the installing user's.
  menu=$(find "$drive" -path '*/Start Menu/Programs/Vellora.lnk' -printf '%h')
  [ -n "$menu" ] || fail "no Start-menu entry for the program"
  [ -f "$menu/Vellora classroom guide.lnk" ] || fail "no Start-menu entry for the guide"
  grep -q '"DisplayName"="Vellora"' "$WINEPREFIX/system.reg" ||
    fail "no Add/Remove Programs entry"
  use_program 'C:\Program Files\Vellora\vellora.exe' "$folder\\$file" "$work/msi"
  check_picture "$unix_folder/$file"
  rm -f "$unix_folder/$file"

  echo "== msiexec /x $(basename "$msi") /qn"
  wine msiexec /x "$(winepath -w "$msi")" /qn
  wineserver --wait
  [ ! -e "$programs" ] || fail "left behind after removal: $(find "$programs")"
  [ ! -e "$menu/Vellora.lnk" ] || fail "the Start-menu entry was left behind"
  ! grep -q '"DisplayName"="Vellora"' "$WINEPREFIX/system.reg" ||
    fail "the Add/Remove Programs entry was left behind"
  ! wine reg query 'HKLM\Software\Vellora' >/dev/null 2>&1 ||
    fail "the registry key of the Start-menu entries was left behind"

  echo "== the zip, unpacked on a stick"
  mkdir -p "$drive/stick"
  (cd "$drive/stick" && unzip -q "$zip")
  use_program 'C:\stick\Vellora\vellora.exe' "$folder\\2-$file" "$work/zip"
  check_picture "$unix_folder/2-$file"

  echo "== a newer version over this one, then this one over the newer"
  wine msiexec /i "$(winepath -w "$msi")" /qn
  wine msiexec /i "$(winepath -w "$newer")" /qn
  local listed
  listed=$(listed_versions | tr '\n' ' ')
  echo "listed after the upgrade: $listed"
  [ "$listed" = "$next " ] || fail "version $next did not replace the older one"
  if wine msiexec /i "$(winepath -w "$msi")" /qn; then
    fail "the older version installed over the newer"
  fi
  listed=$(listed_versions | tr '\n' ' ')
  [ "$listed" = "$next " ] || fail "the refused older version changed what is listed: $listed"
  wine msiexec /x "$(winepath -w "$newer")" /qn
  wineserver --wait
  [ ! -e "$programs" ] || fail "version $next left files behind"
  [ -z "$(listed_versions)" ] || fail "version $next left its Add/Remove Programs entry"
  wineserver --kill || true
}

# Screenshots under Wine, at 100 % and with Wine's DPI at 192 (200 %), of the window, the
# running simulation, the save dialog and the About box: build-windows/screenshots/.
screenshots() {
  check_host
  local stage="$root/build-windows/stage/Vellora" shots="$root/build-windows/screenshots"
  [ -f "$stage/vellora.exe" ] || fail "no $stage; run scripts/package.sh --windows"
  mkdir -p "$shots"
  xvfb-run -a -s "-screen 0 1920x1200x24" bash "$VELLORA_SCRIPT" screenshots-run "$stage" "$shots"
  give_back "$shots"
  ls "$shots"
}

screenshots_run() {
  local stage=$1 shots=$2 dpi window windows scale
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  for dpi in 96 192; do
    export WINEPREFIX="$shots/prefix-$dpi"
    wineboot --init >/dev/null 2>&1
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    wineserver --wait
    scale=$((dpi / 96))
    wine "$stage/vellora.exe" >/dev/null 2>&1 &
    windows=$(timeout 120 xdotool search --sync --onlyvisible --name "^Vellora$")
    window=${windows%%[[:space:]]*}
    sleep 3
    import -window root "$shots/$dpi-1-window.png"
    # shellcheck disable=SC2034 # only X and Y are needed
    local X Y WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + (552 + 206 + 37) * scale)) $((Y + (20 + 368 + 48 + 12) * scale)) click 1
    sleep 5
    import -window root "$shots/$dpi-2-running.png"
    xdotool windowfocus --sync "$window" key --clearmodifiers alt+f
    sleep 1
    xdotool key a
    sleep 3
    import -window root "$shots/$dpi-3-save-dialog.png"
    xdotool key Escape
    sleep 1
    xdotool windowfocus --sync "$window" key --clearmodifiers alt+h
    sleep 1
    xdotool key a
    sleep 2
    import -window root "$shots/$dpi-4-about.png"
    xdotool key Return
    wineserver --kill || true
    rm -rf "$WINEPREFIX"
  done
}

case "${1:-}" in
  prepare) check_host && vellora_install_missing "${WINDOWS_PACKAGES[@]}" xauth xclip ;;
  qt) build_qt ;;
  test) run_tests "${@:2}" ;;
  package) package ;;
  install-test) install_test ;;
  install-test-run) shift; install_test_run "$@" ;;
  screenshots) screenshots ;;
  screenshots-run) shift; screenshots_run "$@" ;;
  *) echo "usage: $0 prepare | qt | test | package | install-test | screenshots" >&2; exit 2 ;;
esac
