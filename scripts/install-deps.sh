#!/usr/bin/env bash
# Installs the Debian packages Tunevale needs to build, run and test.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

BUILD_PKGS=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libxcb1-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-libav gstreamer1.0-alsa gstreamer1.0-pulseaudio gstreamer1.0-tools
  gstreamer1.0-x gstreamer1.0-gl
  libcurl4-openssl-dev libutf8proc-dev nlohmann-json3-dev
  shared-mime-info
)
TEST_PKGS=(
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  python3 python3-mutagen lame ffmpeg id3v2 eyed3 sox flac vorbis-tools opus-tools
  libtag1-dev libsqlite3-dev pulseaudio util-linux mount
  xvfb xdotool openbox imagemagick dbus playerctl x11-utils
  desktop-file-utils xdg-utils dpkg-dev appstream
)

pkgs=("${BUILD_PKGS[@]}")
if [ "${1:-}" = "--test" ]; then pkgs+=("${TEST_PKGS[@]}"); fi

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
