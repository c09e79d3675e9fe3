#!/usr/bin/env bash
# The Debian package: built by CPack once and reused until an executable is
# newer, then read back with dpkg-deb (dependencies, contents, the packaged
# executables' --version) and checked by lintian, which must report no error.
# Exits 77 (skipped) when the Debian tools are missing.
set -euo pipefail
build=$1
for tool in dpkg-deb dpkg-shlibdeps lintian; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/setup.sh installs it)"
    exit 77
  fi
done
cd "$build"
deb=$(ls -t vantrel-launcher_*.deb 2>/dev/null | head -n 1 || true)
if [ -z "$deb" ] || [ src/app/vantrel-launcher -nt "$deb" ] || [ src/cli/vantrel -nt "$deb" ]; then
  cpack -G DEB --config CPackConfig.cmake >/dev/null
  deb=$(ls -t vantrel-launcher_*.deb | head -n 1)
fi
fail() { echo "FAIL: $*"; exit 1; }

info=$(dpkg-deb --info "$deb")
version=$(dpkg-deb --field "$deb" Version)
depends=$(dpkg-deb --field "$deb" Depends)
for dep in libqt6quick6 libqt6dbus6 libarchive13 libssl3 qml6-module-qtquick-controls qml6-module-qtquick-layouts \
           qml6-module-qtquick-templates; do
  [[ ", $depends," == *", $dep "* || ", $depends," == *", $dep,"* ]] || fail "Depends lacks $dep: $depends"
done
[[ $info == *"Package: vantrel-launcher"* ]] || fail "not the launcher's package"

contents=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/vantrel-launcher ./usr/bin/vantrel ./usr/share/applications/vantrel-launcher.desktop \
            ./usr/share/icons/hicolor/256x256/apps/vantrel-launcher.png; do
  grep -q " $path\$" <<<"$contents" || fail "$path is not in the package"
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for tool in vantrel vantrel-launcher; do
  said=$("$unpacked/usr/bin/$tool" --version)
  [ "$said" = "$tool $version" ] || fail "$tool --version printed \"$said\", not \"$tool $version\""
done

report=$(lintian --fail-on error "$deb" 2>&1) || { echo "$report"; fail "lintian reports errors"; }
echo "package $deb: dependencies, contents, versions and lintian checked"
