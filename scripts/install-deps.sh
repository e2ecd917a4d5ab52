#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
# Only missing packages are installed; apt-get update runs only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache clang-format
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-qpa-plugins libgl-dev
  # Qt GUI with its image plugins: JPEG, GIF and ICO cover pictures (PNG and BMP are built in).
  libqt6gui6
  libcurl4-openssl-dev libssl-dev libmpg123-dev
  # The undo journal's digests.
  libxxhash-dev
  libgtest-dev libgmock-dev googletest libtag1-dev
  lame python3-mutagen
  iso-codes
  xvfb xauth
  # The network tests serve HTTP and HTTPS with Python and make their certificates with openssl.
  python3 openssl
  # The outside tools the MP3val and MP3Gain commands run; lame makes the test files they check.
  mp3val mp3gain lame
  # quenlor-cli's tests run it on a terminal with script, and its completion script with bash.
  bsdutils bash
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing missing packages: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
