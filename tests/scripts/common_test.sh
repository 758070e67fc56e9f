#!/usr/bin/env bash
# The pure functions of scripts/common.sh on sample files: which apt source is Debian's archive,
# the release mark of a package, and which package files belong to a release.
set -uo pipefail
# shellcheck source=../../scripts/common.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../../scripts/common.sh"
samples=$(mktemp -d)
vellora_at_exit "rm -rf '$samples'"
passed=0
failed=0
check() { # check WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAILED $1: expected '$2', got '$3'"; fi
}
cd "$samples" || exit 1

# Sources files, and the archive each set names ("fails" when none qualifies).
cat >a-thirdparty.sources <<'END'
Types: deb
URIs: https://apt.example.com/vendor
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/vendor.gpg
END
cat >debian.sources <<'END'
Types: deb
URIs: http://security.example.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb deb-src
# a comment inside the stanza
URIs: http://mirror.example.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
END
cat >disabled.sources <<'END'
Enabled: no
Types: deb
URIs: http://old.example.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
END
cat >plain.list <<'END'
# deb http://commented.example.org/debian bookworm main
deb http://security.example.org/debian-security bookworm-security main
deb [arch=amd64] http://vendor.example.com/apt stable main
deb http://plain.example.org/debian bookworm main contrib
END
cat >signed.list <<'END'
deb http://plain.example.org/debian bookworm main
deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-bookworm-stable.gpg] http://signed.example.org/debian bookworm main
END
echo 'deb http://vendor.example.com/apt bookworm stable' >vendor.list
while read -r expected files; do
  # shellcheck disable=SC2086  # the file names are words
  actual=$(vellora_debian_mirror bookworm $files) || actual=fails
  check "mirror of $files" "$expected" "$actual"
done <<'END'
http://mirror.example.org/debian a-thirdparty.sources debian.sources
http://mirror.example.org/debian disabled.sources debian.sources
http://plain.example.org/debian vendor.list plain.list
http://signed.example.org/debian signed.list
fails vendor.list a-thirdparty.sources
fails disabled.sources
END
check "mirror named by the user" http://own.example.org/debian \
  "$(VELLORA_DEBIAN_MIRROR=http://own.example.org/debian vellora_debian_mirror bookworm debian.sources)"

# os-release files and the release mark of their packages.
while IFS='|' read -r expected content; do
  printf '%b\n' "$content" >os-release
  actual=$(vellora_release_suffix os-release 2>/dev/null) || actual=fails
  check "release mark of $content" "$expected" "$actual"
done <<'END'
|ID=debian\nVERSION_ID="12"\nVERSION_CODENAME=bookworm
+deb13|ID=debian\nVERSION_ID="13"\nVERSION_CODENAME=trixie
+debforky|PRETTY_NAME="Debian GNU/Linux forky/sid"\nID=debian\nVERSION_CODENAME=forky
+ubuntu24.04|ID=ubuntu\nID_LIKE=debian\nVERSION_ID="24.04"
fails|ID=debian
fails|NAME="no id at all"
END

# Package files of each release: a Debian 12 one is never taken for a later release's.
mkdir dist
touch dist/vellora_1.0.0_amd64.deb dist/vellora_1.0.0+deb13_amd64.deb \
  dist/vellora_1.0.0+deb13_arm64.deb dist/vellora_1.2.10+debforky_amd64.deb dist/vellora_x_amd64.deb
while read -r expected mark architecture; do
  actual=$(vellora_debs dist "${mark#-}" "$architecture" | tr '\n' ' ')
  check "packages of $mark $architecture" "$expected" "${actual% }"
done <<'END'
dist/vellora_1.0.0_amd64.deb - amd64
dist/vellora_1.0.0+deb13_arm64.deb +deb13 arm64
dist/vellora_1.2.10+debforky_amd64.deb +debforky amd64
END

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
