#!/usr/bin/env bash
# Installs the Debian 12 packages Brellow needs to build, run and test, if missing.
set -euo pipefail

# Build: the compiler, Qt 6 (WebSockets for the benchmark) and xcb (window manager
# hints); clang and its runtime (libFuzzer, sanitizers) for the fuzz targets. Run: Qt's
# Wayland platform as the fallback on a Wayland session without XWayland. Test: an X
# server for headless runs, xdotool to drive the real window, a font for the page,
# unshare for the no-network start-up test, the parts of a real desktop (window
# manager, panel with tray, compositors, X property tools). Package: Debian's
# packaging tools and the validators for the packages, desktop entries, metainfo and the
# practice server's systemd unit (systemd-analyze, which looks up its manual page with man);
# man-db (man, lexgrog, and groff through it) for the manual pages in every language.
# Qt's private GUI headers: a window test changes the offscreen platform's screens while
# it runs (a screen unplugged, a new resolution) through the platform's own interface,
# and the window tests switch accessibility on without a desktop.
# Translations: lupdate and lrelease (qt6-l10n-tools) with their CMake functions
# (qt6-tools-dev); Qt's own translations for the message boxes' buttons, loaded at run
# time (qt6-translations-l10n).
# Accessibility and notifications: a D-Bus daemon for private session buses, its
# monitor (dbus-bin) for what goes over one, and the desktop's accessibility bus
# (at-spi2-core) for reading the real program's accessibility tree.
packages=(
    cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
    qt6-base-dev qt6-base-private-dev qt6-webengine-dev qt6-webchannel-dev qt6-websockets-dev libgl-dev libxcb1-dev
    qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
    qt6-wayland
    xvfb xauth xdotool fonts-dejavu-core util-linux dbus-daemon dbus-bin at-spi2-core
    openbox tint2 xcompmgr weston wmctrl x11-utils x11-xserver-utils
    dpkg-dev file binutils gzip lintian desktop-file-utils appstream systemd man-db
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
