#!/bin/sh
# Builds the Debian package from a built tree and checks what it holds and
# what it depends on. Usage: deb_package.sh BUILD_DIR VERSION APP_ID
build=${1:?usage: deb_package.sh BUILD_DIR VERSION APP_ID}
version=${2:?}
app_id=${3:?}
for tool in cpack dpkg-deb dpkg-shlibdeps readelf; do
  command -v $tool >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/quillon_*.deb)
[ -f "$deb" ] || { echo "FAIL: no package in $work"; exit 1; }

[ "$(dpkg-deb -f "$deb" Package)" = quillon ] || fail "package name $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version), not $version"

# The program, its menu entry, its software-centre entry and every icon, all under /usr.
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$work/files"
icons=/usr/share/icons/hicolor
for file in /usr/bin/quillon /usr/share/applications/quillon.desktop "/usr/share/metainfo/$app_id.metainfo.xml" \
            $icons/16x16/apps/quillon.png $icons/22x22/apps/quillon.png $icons/24x24/apps/quillon.png \
            $icons/32x32/apps/quillon.png $icons/48x48/apps/quillon.png $icons/64x64/apps/quillon.png \
            $icons/128x128/apps/quillon.png $icons/256x256/apps/quillon.png $icons/scalable/apps/quillon.svg; do
  grep -qx "$file" "$work/files" || fail "missing $file"
done
outside=$(grep -v '/$' "$work/files" | grep -v '^/usr/')
[ -z "$outside" ] || fail "files outside /usr: $outside"

# Dependencies found from the program's libraries, with their versions.
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 libcurl4 libc6 qt6-qpa-plugins; do
  echo "$depends" | grep -q "\\b$package\\b" || fail "Depends lacks $package: $depends"
done
echo "$depends" | grep -q 'libqt6widgets6 (>= [0-9]' || fail "Depends has no Qt version: $depends"

# The program is stripped.
dpkg-deb -x "$deb" "$work/root"
readelf -S "$work/root/usr/bin/quillon" | grep -q '\.debug_info' && fail "/usr/bin/quillon is not stripped"
exit $status
