#!/usr/bin/env bash
# Installs the built Debian package on a fresh Debian 12 and starts the player
# from its menu entry on a clip, the way a new user would: a debootstrap root
# (minbase) is made once and kept as a tarball, every run unpacks a clean copy,
# `apt install ./kelvara_*.deb` must pull everything the player needs by
# itself, and the player runs in the root against a private X server on this
# machine. It takes a screenshot of the playing film, then presses F1 in
# English and checks that the help page the package installed is what the
# player opens. Exits non-zero when the install fails, the player does not
# start or dies, the picture does not move, or the help page is not found.
#
# Needs root, the network, debootstrap, Xvfb, xdotool, ImageMagick and ffmpeg
# on this machine. Not part of the test suite.
#
# Usage: sudo scripts/fresh-install-check.sh [deb] [screenshot]
#   deb         default: build/kelvara_*.deb (scripts/package.sh build makes it)
#   screenshot  default: docs/installed-fresh-debian12.png
# Environment:
#   KELVARA_DEB12_DIR  where the root lives (default /var/tmp/kelvara-deb12):
#                      pristine.tar (the debootstrap root) and root/ (this run)
#   KELVARA_MIRROR     Debian mirror (default: this machine's, else deb.debian.org)
#   KELVARA_NO_RECOMMENDS=1  install with --no-install-recommends: the player
#                      must still play with what Depends alone brings (the
#                      checks of the desktop's MIME tools and browser, which
#                      come with Recommends, are then left out)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
deb=${1:-$(ls "$repo"/build/kelvara_*.deb 2>/dev/null | head -n1)}
shot=${2:-$repo/docs/installed-fresh-debian12.png}
dir=${KELVARA_DEB12_DIR:-/var/tmp/kelvara-deb12}
mkdir -p "$dir"
# Canonical, as /proc shows the root and executable of a chrooted process.
dir=$(readlink -f "$dir")
root=$dir/root
say() { echo "fresh-install: $*"; }
fail() { say "FAILED: $*"; exit 1; }

[ "$(id -u)" = 0 ] || fail "needs root (debootstrap, chroot, mounts)"
[ -f "$deb" ] || fail "no package: build it with scripts/package.sh build"
for tool in debootstrap Xvfb xdotool import compare ffmpeg; do
  command -v "$tool" >/dev/null || fail "$tool is missing on this machine"
done
deb=$(readlink -f "$deb")
mkdir -p "$dir" "$(dirname "$shot")"

mirror=${KELVARA_MIRROR:-$(grep -hsoE '(URIs:|^deb) +https?://[^ ]+/debian/?( |$)' \
  /etc/apt/sources.list /etc/apt/sources.list.d/* | awk '{print $2}' | head -n1 || true)}
mirror=${mirror:-http://deb.debian.org/debian}

# Anything still mounted below the root would be emptied by the clean-up.
mounted_below() { awk -v r="$root/" 'index($2, r) == 1 {print $2}' /proc/mounts | sort -r; }
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null || true
  # The player and anything else still running inside the root.
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null || true
  done
  for m in $(mounted_below); do umount "$m" 2>/dev/null || umount -l "$m"; done
}
trap cleanup EXIT

if [ ! -f "$dir/pristine.tar" ]; then
  say "debootstrap bookworm (minbase) from $mirror"
  rm -rf --one-file-system "$dir/pristine"
  debootstrap --variant=minbase bookworm "$dir/pristine" "$mirror" >"$dir/debootstrap.log" 2>&1 ||
    fail "debootstrap (see $dir/debootstrap.log)"
  tar -C "$dir/pristine" -cf "$dir/pristine.tar" .
  rm -rf --one-file-system "$dir/pristine"
fi

[ -z "$(mounted_below)" ] || fail "something is still mounted below $root"
rm -rf --one-file-system "$root"
mkdir -p "$root"
tar -C "$root" -xf "$dir/pristine.tar"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mkdir -p /tmp/.X11-unix "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  HOME=/root DEBIAN_FRONTEND=noninteractive "$@"; }

cp "$deb" "$root/root/"
name=$(basename "$deb")
say "installing $name ($(du -k "$deb" | cut -f1) KiB) into a fresh Debian $(cat "$root/etc/debian_version")"
in_root apt-get update >"$dir/apt.log" 2>&1 || fail "apt-get update (see $dir/apt.log)"
apt_options=()
[ "${KELVARA_NO_RECOMMENDS:-0}" = 1 ] && apt_options+=(--no-install-recommends)
in_root apt-get install -y "${apt_options[@]}" "./root/$name" >>"$dir/apt.log" 2>&1 ||
  fail "apt install ${apt_options[*]} (see $dir/apt.log)"
say "$(grep -E '^[0-9]+ upgraded, [0-9]+ newly installed' "$dir/apt.log")"
say "$(in_root dpkg-query -W kelvara gstreamer1.0-plugins-base gstreamer1.0-libav libqt6widgets6 | tr '\t\n' '  ')"

# The playlist type is known to the desktop and the menu entry takes it.
if in_root sh -c 'command -v xdg-mime' >/dev/null; then
  # A playlist as the player writes it: file name, then its entry line.
  printf '/root/clip.avi\r\n>N clip\r\n\r\n' >"$root/root/list.kpl"
  kpl_type=$(in_root xdg-mime query filetype /root/list.kpl)
  [ "$kpl_type" = application/x-kelvara-playlist ] ||
    fail ".kpl is '$kpl_type', not application/x-kelvara-playlist"
  app=$(in_root xdg-mime query default application/x-kelvara-playlist)
  [ "$app" = kelvara.desktop ] || fail "the default for playlists is '$app', not kelvara.desktop"
  say ".kpl is $kpl_type, opened by $app"
fi

# The player runs only for a Russian system. A Russian desktop has its locale
# generated already; a bare debootstrap root has none, so this machine's user
# is given one, as the installer would have.
if ! in_root locale -a 2>/dev/null | grep -qx 'ru_RU.utf8'; then
  in_root apt-get install -y locales >>"$dir/apt.log" 2>&1 || fail "installing locales"
  echo 'ru_RU.UTF-8 UTF-8' >>"$root/etc/locale.gen"
  in_root locale-gen >>"$dir/apt.log" 2>&1 || fail "locale-gen"
fi

# A film with a moving picture and a tone.
ffmpeg -loglevel error -y -f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=frequency=440 \
  -t 10 -c:v mpeg4 -q:v 5 -c:a libmp3lame "$root/root/clip.avi" || fail "making the clip"

# The browser a desktop would have: it notes the page it was asked to show.
cat >"$root/usr/local/bin/note-browser" <<'EOF'
#!/bin/sh
echo "$@" >/root/help-opened
EOF
chmod +x "$root/usr/local/bin/note-browser"

display=83
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$display" ] || fail "Xvfb :$display did not start"
export DISPLAY=:$display

entry=/usr/share/applications/kelvara.desktop
[ -f "$root$entry" ] || fail "the package installed no $entry"
start_player() {  # language
  rm -f "$root/root/help-opened"
  local env=(DISPLAY=":$display" LANG=ru_RU.UTF-8 LANGUAGE="$1" XDG_RUNTIME_DIR=/tmp/runtime-root
    BROWSER=note-browser)
  in_root sh -c 'mkdir -p -m 700 /tmp/runtime-root'
  if in_root sh -c 'command -v gio' >/dev/null; then
    say "gio launch $entry /root/clip.avi (LANGUAGE=$1)"
    in_root "${env[@]}" gio launch "$entry" /root/clip.avi >>"$dir/player.log" 2>&1 &
  else
    # The entry's command line, as a menu runs it.
    local exec_line
    exec_line=$(sed -n 's/^Exec=//p' "$root$entry" | head -n1)
    say "no gio in the root: running the entry's Exec=$exec_line on /root/clip.avi (LANGUAGE=$1)"
    in_root "${env[@]}" sh -c "${exec_line//%F//root/clip.avi}" >>"$dir/player.log" 2>&1 &
  fi
  pid=
  for _ in $(seq 150); do
    for p in /proc/[0-9]*; do
      [ "$(readlink "$p/exe" 2>/dev/null)" = "$root/usr/bin/kelvara" ] && pid=${p#/proc/} && break
    done
    [ -n "$pid" ] && window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1) && [ -n "$window" ] && return 0
    sleep 0.2
  done
  fail "the player did not show a window (see $dir/player.log)"
}
stop_player() {
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 50); do [ -d "/proc/$pid" ] || return 0; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
}

say "X server :$display"
: >"$dir/player.log"
start_player ru
# Playing shows as a picture that moves: two looks a second apart differ.
sleep 3
[ -d "/proc/$pid" ] || fail "the player died (see $dir/player.log)"
import -display ":$display" -window root "$dir/shot1.png"
sleep 1
import -display ":$display" -window root "$dir/shot2.png"
changed=$(compare -metric AE "$dir/shot1.png" "$dir/shot2.png" null: 2>&1 || true)
awk '{exit !($1 > 0)}' <<<"$changed" || fail "the picture does not move: not playing (see $dir/shot1.png)"
convert "$dir/shot2.png" -strip -colors 256 "PNG8:$shot"
say "playing ($changed pixels changed in a second); screenshot in $shot"
stop_player

# The English help is the installed page, handed to the desktop's opener.
if ! in_root sh -c 'command -v xdg-open' >/dev/null; then
  say "no xdg-open in the root (xdg-utils not installed): F1 not checked"
  say "passed"
  exit 0
fi
start_player en
xdotool key --window "$window" F1
for _ in $(seq 100); do [ -s "$root/root/help-opened" ] && break; sleep 0.1; done
opened=$(cat "$root/root/help-opened" 2>/dev/null || true)
stop_player
[[ "$opened" == *"/usr/share/kelvara/kelvar.html" ]] || fail "F1 opened '${opened}', not the installed help page"
say "F1 opened $opened"
say "passed"
