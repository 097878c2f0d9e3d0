#!/usr/bin/env bash
# Sets up, builds and starts the player. With no file named it plays a demo
# clip that it makes once; with no display it runs under a virtual one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build
args=("$@")
if [ ${#args[@]} -eq 0 ]; then
  demo="$root/build/demo/kelvara-demo.avi"
  if [ ! -s "$demo" ]; then
    mkdir -p "$(dirname "$demo")"
    gst-launch-1.0 -q avimux name=mux ! filesink location="$demo" \
      videotestsrc num-buffers=500 pattern=smpte ! video/x-raw,width=640,height=360,framerate=25/1 \
        ! timeoverlay ! avenc_mpeg4 bitrate=1500000 ! queue ! mux. \
      audiotestsrc num-buffers=860 freq=440 wave=sine ! audio/x-raw,rate=44100,channels=2 \
        ! lamemp3enc ! mpegaudioparse ! queue ! mux. >/dev/null
  fi
  args=("$demo")
fi
export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$root/build/kelvara" "${args[@]}"
fi
exec "$root/build/kelvara" "${args[@]}"
