#!/bin/bash
# Installs the Debian 12 packages Ferrix needs to build, run and test, and
# nothing when they are all there already.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libglib2.0-dev libbenchmark-dev
  shared-mime-info adwaita-icon-theme hicolor-icon-theme xdg-utils
  qt6-wayland weston desktop-file-utils appstream dpkg-dev dbus-daemon
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
