#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking need.
# Safe to run again: it only asks apt for what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsqlite3-dev sqlite3
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libxcb1-dev xvfb xauth x11-apps x11-utils openbox imagemagick dbus dbus-bin dbus-daemon python3 python3-dbus python3-pytest
  fonts-dejavu-core
  unrtf
  dpkg-dev fakeroot file desktop-file-utils appstream lintian libqt6svg6 adwaita-icon-theme
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  command -v sudo >/dev/null || { echo "bootstrap: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
