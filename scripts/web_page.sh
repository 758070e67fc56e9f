#!/usr/bin/env bash
# The program as a web page, from this Debian machine:
#   scripts/web_page.sh package  builds it in the Debian 13 system of scripts/debian13.sh (with
#                                Qt for WebAssembly built there once and cached in
#                                ~/.cache/vellora) and leaves dist/vellora-<version>-web.zip
#   scripts/web_page.sh test     runs the Qt-free suite compiled to WebAssembly under Node there,
#                                makes the zip, then tests the page in this machine's Chromium,
#                                headless (installs chromium, chromium-driver, python3-selenium)
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/common.sh"

case "$#:${1:-}" in
  1:package) bash scripts/debian13.sh bash scripts/web.sh package ;;
  1:test) bash scripts/debian13.sh 'bash scripts/web.sh test && bash scripts/web.sh package' ;;
  *) echo "usage: $0 package | test" >&2; exit 2 ;;
esac
[ "$1" = test ] || exit 0

version=$(sed -n 's/^project(Vellora VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
vellora_install_missing chromium chromium-driver python3-selenium unzip
page=$(mktemp -d)
vellora_at_exit "rm -rf '$page'"
unzip -q "dist/vellora-$version-web.zip" -d "$page"
echo "== the page in headless Chromium ($(chromium --version 2>/dev/null))"
# Debian's own Python, which has the selenium package.
/usr/bin/python3 tests/web/page_test.py "$page"
