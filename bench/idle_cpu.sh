#!/usr/bin/env bash
# CPU time and repaints of the idle main window: the player left alone for N
# seconds (default 10) with a 640x480 file open and paused, and with no file
# for comparison; under a private virtual X server (a real window, video in
# the overlay sink) and offscreen. Private settings and runtime folders.
#
#   bench/idle_cpu.sh [seconds]
#
# KELVARA_IDLE_BIN names the idle_window program (default: the bench build
# folder build-shotidle-bench); KELVARA_CLIP the clip (default: the tests'
# 20 s benchmark clip, else one made here with gst-launch-1.0).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${KELVARA_IDLE_BIN:-$root/build-shotidle-bench/bench/idle_window}
secs=${1:-10}
work=$(mktemp -d)
xpid=
cleanup() {
  if [ -n "$xpid" ]; then kill "$xpid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
[ -x "$bin" ] || { echo "no $bin: build the idle_window target with -DKELVARA_BENCH=ON" >&2; exit 1; }

clip=${KELVARA_CLIP:-$root/build/testclips/v2/bench_20s.avi}
if [ ! -f "$clip" ]; then
  clip=$work/clip.avi
  gst-launch-1.0 -q videotestsrc num-buffers=500 pattern=ball ! video/x-raw,width=640,height=480,framerate=25/1 \
    ! avenc_mpeg4 gop-size=25 bitrate=400000 ! avimux name=m ! filesink location="$clip" \
    audiotestsrc num-buffers=2000 samplesperbuffer=441 ! audio/x-raw,rate=44100,channels=2 \
    ! lamemp3enc ! mpegaudioparse ! m.
fi

# A free display number, told by the server itself.
Xvfb -displayfd 3 -screen 0 1280x800x24 3>"$work/display" >/dev/null 2>&1 &
xpid=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
display=:$(head -n1 "$work/display")

export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
run() {
  local platform=$1 file=$2 n=$3
  mkdir -p "$work/cfg$n" "$work/rt$n" && chmod 700 "$work/rt$n"
  DISPLAY=$display QT_QPA_PLATFORM=$platform XDG_CONFIG_HOME=$work/cfg$n XDG_RUNTIME_DIR=$work/rt$n \
    "$bin" "$file" "$secs" 2> >(grep -v -e propagateSizeHints -e '^$' >&2 || true)
}
echo "idle main window, $secs s each; clip $(basename "$clip")"
run xcb "$clip" 1
run xcb "" 2
run offscreen "$clip" 3
run offscreen "" 4
