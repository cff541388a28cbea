#!/usr/bin/env bash
# Installs the Debian packages that building and running need, if any are missing; with --test,
# also the tools the tests drive (a private X server, xdotool, XScreenSaver, a headless sway, ...)
# and clang-format; the desktops whose idle signals the watcher hears (gnome-shell, KWin).
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-private-dev libgl-dev libxcb1-dev libxcb-shm0-dev qt6-wayland
  libxcb-screensaver0-dev libwayland-dev wayland-protocols plasma-wayland-protocols
  fonts-dejavu-core
  dpkg-dev file
)
if [ "${1:-}" = "--test" ]; then
  packages+=(
    xvfb xauth xdotool x11-apps x11-utils x11-xserver-utils imagemagick faketime procps
    desktop-file-utils xscreensaver mate-screensaver dbus-x11 libglib2.0-bin lintian clang-format
    sway swayidle grim wtype tzdata man-db gnome-shell kwin-wayland
  )
fi

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
