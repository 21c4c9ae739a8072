#!/usr/bin/env bash
# Shared by ./run and ./test: installs what is missing from Debian's packages, then builds.
# Arguments go to CMake's configure step (./test passes -DORVALIS_WERROR=ON).
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libgtkmm-3.0-dev libwebkit2gtk-4.1-dev
  # the service manager's notify protocol; the X screensaver extension
  libsystemd-dev libxss-dev
  googletest libgtest-dev libgmock-dev
  xvfb xauth xdotool imagemagick
  fonts-dejavu-core
  # the page sandbox; the fuzzers; locale sources for the separator test
  bubblewrap xdg-dbus-proxy clang libclang-rt-14-dev locales
  # certificates made by the tests of private certificates
  openssl
)
# The package test (building and checking the .deb, its systemd unit) and the Wayland smoke test;
# a session bus of their own and gapplication for the tests that drive the wall over D-Bus.
PACKAGES+=(
  dpkg-dev file desktop-file-utils appstream lintian systemd
  weston
  dbus libglib2.0-bin
)
# A desktop's own set-up, which the tests must pass with: the accessibility bus and
# dbus-launch, as every GNOME or Xfce machine has them.
PACKAGES+=(at-spi2-core dbus-x11)
# MQTT (the client library, and the broker its tests start); the screen's power on X11
# (DPMS through libXext) and on wlroots compositors (libwayland-client, wayland-scanner),
# with a headless sway for the test of the latter.
PACKAGES+=(libmosquitto-dev mosquitto libxext-dev libwayland-dev sway)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build -j "$jobs"
