#!/usr/bin/env bash
# Builds the Debian package from a built tree (default: build) and checks
# that it holds what a desktop program needs and nothing of the build.
# Usage: scripts/package.sh [build folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/${1:-build}"
cmake --build "$dir" --target kelvara kelvara_icons
desktop-file-validate "$root/resources/kelvara.desktop"
rm -f "$dir"/kelvara_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/kelvara_*.deb)
list=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sed 's|^\./|/|')

expected=(/usr/bin/kelvara /usr/share/applications/kelvara.desktop /usr/share/mime/packages/kelvara.xml
  /usr/share/doc/kelvara/copyright)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/kelvara.png")
  for icon in application-x-kelvara-playlist kelvara-video-file kelvara-audio-file; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/mimetypes/$icon.png")
  done
done
for help in resources/kelvar.html docs/kelvar.html help/kelvar.html; do
  if [ -f "$root/$help" ]; then expected+=(/usr/share/kelvara/kelvar.html); break; fi
done

missing=0
for f in "${expected[@]}"; do
  grep -qxF "$f" <<<"$list" || { echo "package: missing $f"; missing=1; }
done
extra=$(grep -vxF -f <(printf '%s\n' "${expected[@]}") <<<"$list" || true)
if [ -n "$extra" ]; then echo "package: unexpected files:"; echo "$extra"; missing=1; fi
# A field's package names, one a line (versions and alternatives dropped:
# "a (>= 1) | b" gives a and b).
names() { dpkg-deb -f "$deb" "$1" | tr ',|' '\n\n' | awk 'NF {print $1}'; }
depends=$(dpkg-deb -f "$deb" Depends)
# Linked libraries come from dpkg-shlibdeps; the media plugins and the MIME
# database are loaded or run and are named in cmake/install.cmake.
for dep in libqt6widgets6 libgstreamer1.0-0 libc6 \
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav gstreamer1.0-x \
  gstreamer1.0-gl gstreamer1.0-alsa shared-mime-info; do
  names Depends | grep -qxF "$dep" || { echo "package: Depends lacks $dep"; missing=1; }
done
for rec in gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly gstreamer1.0-pulseaudio; do
  names Recommends | grep -qxF "$rec" || { echo "package: Recommends lacks $rec"; missing=1; }
done
[ "$missing" = 0 ] || exit 1
echo "package: $(basename "$deb") holds ${#expected[@]} files; Depends: $depends"
