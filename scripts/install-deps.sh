#!/usr/bin/env bash
# Installs the Debian 12 packages Brellow needs to build, run and test, if missing.
set -euo pipefail

# Build: the compiler, Qt 6 and xcb (window manager hints). Run: Qt's Wayland
# platform as the fallback on a Wayland session without XWayland. Test: an X
# server for headless runs, xdotool to drive the real window, a font for the
# page, unshare for the no-network start-up test, and the parts of a real
# desktop (window manager, panel with tray, compositors, X property tools).
packages=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-webengine-dev qt6-webchannel-dev libgl-dev libxcb1-dev
    qt6-wayland
    xvfb xauth xdotool fonts-dejavu-core util-linux
    openbox tint2 xcompmgr weston wmctrl x11-utils x11-xserver-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
elif command -v sudo >/dev/null 2>&1; then
    sudo apt-get update -qq
    sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
    echo "Please run as root: apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi
