#!/usr/bin/env bash
# The Debian package: built by CPack once and reused until an executable is
# newer, then read back with dpkg-deb (dependencies, contents, the packaged
# executables' --version and --help without a display), its metadata checked
# by desktop-file-validate and appstreamcli (the screenshots it names are the
# screenshot test's own), its manual pages by man, its bash completion run,
# its logging categories against the code's, and the whole by lintian. Every tool must report nothing. Exits 77
# (skipped) when the Debian tools are missing.
set -euo pipefail
build=$1
sources=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
for tool in dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli man; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/setup.sh installs it)"
    exit 77
  fi
done
cd "$build"
deb=$(ls -t vantrel-launcher_*.deb 2>/dev/null | head -n 1 || true)
if [ -z "$deb" ] || [ -n "$(find src/app/vantrel-launcher src/app/vantrel-search-provider src/cli/vantrel packaging -type f -newer "$deb" | head -n 1)" ]; then
  cpack -G DEB --config CPackConfig.cmake >/dev/null
  deb=$(ls -t vantrel-launcher_*.deb | head -n 1)
fi
fail() { echo "FAIL: $*"; exit 1; }

info=$(dpkg-deb --info "$deb")
version=$(dpkg-deb --field "$deb" Version)
depends=$(dpkg-deb --field "$deb" Depends)
for dep in libqt6quick6 libqt6dbus6 libarchive13 libdeflate0 libssl3 qml6-module-qtquick-controls qml6-module-qtquick-layouts \
           qml6-module-qtquick-templates; do
  [[ ", $depends," == *", $dep "* || ", $depends," == *", $dep,"* ]] || fail "Depends lacks $dep: $depends"
done
[[ $info == *"Package: vantrel-launcher"* ]] || fail "not the launcher's package"

contents=$(dpkg-deb --contents "$deb")
metainfo=./usr/share/metainfo/com.vantrel.launcher.metainfo.xml
for path in ./usr/bin/vantrel-launcher ./usr/bin/vantrel ./usr/share/applications/vantrel-launcher.desktop \
            ./usr/share/icons/hicolor/256x256/apps/vantrel-launcher.png $metainfo \
            ./usr/share/man/man1/vantrel.1.gz ./usr/share/man/man1/vantrel-launcher.1.gz \
            ./usr/share/bash-completion/completions/vantrel ./usr/share/qlogging-categories6/vantrel.categories \
            ./usr/libexec/vantrel-launcher/vantrel-search-provider ./usr/share/gnome-shell/search-providers/vantrel-launcher-search-provider.ini \
            ./usr/share/krunner/dbusplugins/vantrel-launcher.desktop \
            ./usr/share/dbus-1/services/com.vantrel.launcher.SearchProvider.service; do
  grep -q " $path\$" <<<"$contents" || fail "$path is not in the package"
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for tool in vantrel vantrel-launcher; do
  said=$("$unpacked/usr/bin/$tool" --version)
  [ "$said" = "$tool $version" ] || fail "$tool --version printed \"$said\", not \"$tool $version\""
done

# Without a display, a Wayland compositor or a session bus.
help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u QT_QPA_PLATFORM LANGUAGE=en \
       "$unpacked/usr/bin/vantrel-launcher" --help) || fail "vantrel-launcher --help failed without a display"
[[ $help == *"--hidden"* ]] || fail "vantrel-launcher --help printed: $help"

said=$(desktop-file-validate "$unpacked/usr/share/applications/vantrel-launcher.desktop" 2>&1) || true
[ -z "$said" ] || fail "desktop-file-validate: $said"
# The entry handles the launcher's links.
grep -qx 'MimeType=x-scheme-handler/vantrel;' "$unpacked/usr/share/applications/vantrel-launcher.desktop" \
  || fail "the desktop entry does not declare x-scheme-handler/vantrel"
grep -qx 'Exec=vantrel-launcher %u' "$unpacked/usr/share/applications/vantrel-launcher.desktop" \
  || fail "the desktop entry does not pass the link to the launcher"
grep -q '<mediatype>x-scheme-handler/vantrel</mediatype>' "$unpacked/$metainfo" || fail "the metadata does not provide the scheme"

# The desktop's search: the files name one bus name and two paths, and the program owns and serves exactly those.
key() { sed -nE "s/^$2=(.*)$/\1/p" "$unpacked/$1"; }
ini=usr/share/gnome-shell/search-providers/vantrel-launcher-search-provider.ini
runner=usr/share/krunner/dbusplugins/vantrel-launcher.desktop
service=usr/share/dbus-1/services/com.vantrel.launcher.SearchProvider.service
name=$(key $service Name)
[ "$service" = "usr/share/dbus-1/services/$name.service" ] || fail "$service names $name"
[ "$(key $service Exec)" = /usr/libexec/vantrel-launcher/vantrel-search-provider ] || fail "$service starts $(key $service Exec)"
[ "$(key $ini BusName)" = "$name" ] && [ "$(key $runner X-Plasma-DBusRunner-Service)" = "$name" ] \
  || fail "the search files name different bus names"
[ "$(key $ini DesktopId)" = vantrel-launcher.desktop ] || fail "$ini names another desktop entry"
served=$(python3 "$sources/tests/support/run-on-own-bus.py" bash -c '
  HOME=$(mktemp -d) "$1" & for i in $(seq 50); do gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner "$2" | grep -q true && break; sleep 0.1; done
  gdbus introspect --session --dest "$2" --object-path "$3" | grep -o "interface org.gnome.Shell.SearchProvider2"
  gdbus introspect --session --dest "$2" --object-path "$4" | grep -o "interface org.kde.krunner1"
  kill %1' bash "$unpacked/usr/libexec/vantrel-launcher/vantrel-search-provider" "$name" "$(key $ini ObjectPath)" \
  "$(key $runner X-Plasma-DBusRunner-Path)" 2>/dev/null) || true
[ "$served" = $'interface org.gnome.Shell.SearchProvider2\ninterface org.kde.krunner1' ] \
  || fail "vantrel-search-provider does not serve what its files name: $served"

said=$(appstreamcli validate --no-net --pedantic --no-color "$unpacked/$metainfo" 2>&1) || fail "appstreamcli: $said"
if grep -qE '^[EWIP]: ' <<<"$said"; then fail "appstreamcli: $said"; fi
grep -q "<launchable type=\"desktop-id\">vantrel-launcher.desktop</launchable>" "$unpacked/$metainfo" \
  || fail "the metadata does not name the desktop entry"
grep -q "release version=\"$version\"" "$unpacked/$metainfo" || fail "the metadata has no release $version"
# Each screenshot named is one the screenshot test writes, at the size stated.
while read -r width height name; do
  shot=screenshots/$name
  [ -f "$shot" ] || fail "$name is not among the screenshot test's screenshots (run tst_ui_screenshots first)"
  size=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print(*struct.unpack(">II", d[16:24]))' "$shot")
  [ "$size" = "$width $height" ] || fail "$name is $size, the metadata says $width $height"
done < <(sed -nE 's|.*<image type="source" width="([0-9]+)" height="([0-9]+)">[^<]*/([^/<]+)</image>.*|\1 \2 \3|p' "$unpacked/$metainfo")

for page in vantrel vantrel-launcher; do
  said=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$unpacked/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null) || true
  [ -z "$said" ] || fail "man $page: $said"
done
# Every command the tool knows has its section in vantrel(1).
manual=$(MANWIDTH=200 man -l "$unpacked/usr/share/man/man1/vantrel.1.gz" 2>/dev/null)
for command in $("$unpacked/usr/bin/vantrel" complete | grep -v '^-'); do
  grep -qE "^ +$command( |\$)" <<<"$manual" || fail "vantrel(1) does not describe $command"
done

# The completion offers the tool's commands.
offered=$(bash -c 'source "$1"; COMP_WORDS=("$2" "ins"); COMP_CWORD=1; _vantrel; echo "${COMPREPLY[*]}"' \
          bash "$unpacked/usr/share/bash-completion/completions/vantrel" "$unpacked/usr/bin/vantrel")
[ "$offered" = "install" ] || fail "the bash completion offers \"$offered\" for vantrel ins"

# The categories file names each category the code declares, with its identifier, and no other.
declared=$(grep -rhoE 'Q_LOGGING_CATEGORY\(\w+, "[^"]+"' "$sources/src" | sed -E 's/.*\((\w+), "([^"]+)"/\2 \1/' | sort)
listed=$(sed -nE 's/^([^# ]+) .* IDENTIFIER \[(\w+)\]$/\1 \2/p' "$unpacked/usr/share/qlogging-categories6/vantrel.categories" | sort)
[ -n "$declared" ] && [ "$declared" = "$listed" ] || fail "vantrel.categories lists [$(echo $listed)], the code declares [$(echo $declared)]"

report=$(lintian --fail-on error,warning "$deb" 2>&1) || { echo "$report"; fail "lintian reports errors or warnings"; }
if grep -qE '^[EW]: ' <<<"$report"; then echo "$report"; fail "lintian reports errors or warnings"; fi
echo "package $deb: dependencies, contents, versions, help, metadata, manual pages, completion and lintian checked"
