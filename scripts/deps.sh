#!/usr/bin/env bash
# Installs everything Orvalis needs to build, run and test on Debian 12 (root or sudo).
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config clang-format
  # Qt Charts' CMake files need the OpenGL module's, which its package does not pull in.
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-serialport-dev qt6-multimedia-dev libgl-dev libv4l-dev
  libgtest-dev libgmock-dev
  libcpp-httplib-dev libeigen3-dev
  libindi-dev indi-bin iproute2 util-linux
  # The window tests run on Xvfb under a window manager that adds title bars.
  xvfb xauth x11-utils xdotool imagemagick dpkg-dev jwm
  kstars dbus dbus-x11 libglib2.0-bin sqlite3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
