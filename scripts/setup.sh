#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the development service
# and the benchmarks need. Does nothing when all of them are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools
  qt6-httpserver-dev qt6-websockets-dev libcpp-httplib-dev
  qcoro-qt6-dev
  libssl-dev libarchive-dev libdeflate-dev zlib1g-dev libplist-dev libsqlite3-dev libicu-dev
  qml6-module-qtquick qml6-module-qtqml qml6-module-qtqml-models
  qml6-module-qtquick-controls qml6-module-qtquick-layouts
  qml6-module-qtquick-shapes qml6-module-qtquick-window
  qml6-module-qtqml-workerscript qml6-module-qtquick-templates
  qml6-module-qttest
  fonts-material-design-icons-iconfont
  libgtest-dev libbenchmark-dev
  xvfb xauth
  clang libclang-rt-14-dev
  libarchive-tools unzip curl openssl e2fsprogs
  dbus-daemon dpkg-dev lintian
  qt6-l10n-tools qt6-tools-dev qt6-tools-dev-tools qt6-translations-l10n
  at-spi2-core python3-pyatspi gir1.2-atspi-2.0 dbus-x11
  libxcb1-dev libxcb-keysyms1-dev xdotool
  weston qt6-wayland libwayland-dev python3-gi
  appstream desktop-file-utils scdoc
  qt6-image-formats-plugins libglib2.0-bin libgtk-3-bin
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
