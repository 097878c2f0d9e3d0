#!/usr/bin/env bash
# CPU time for playing the same 20-second clip to its end, in one run:
# the player in its real window under a private virtual X server (the end of
# the clip closes it), against gst-launch-1.0's playbin with the same video
# sink. Prints user+system seconds for each and the ratio.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${KELVARA_BIN:-$root/build/kelvara}
work=$(mktemp -d)
trap 'kill $xpid 2>/dev/null || true; rm -rf "$work"' EXIT
clip=$work/clip.avi
gst-launch-1.0 -q avimux name=mux ! filesink location="$clip" \
  videotestsrc num-buffers=500 pattern=ball ! video/x-raw,width=640,height=360,framerate=25/1 \
    ! avenc_mpeg4 bitrate=1500000 ! queue ! mux. \
  audiotestsrc num-buffers=862 ! audio/x-raw,rate=44100,channels=2 ! lamemp3enc ! mpegaudioparse ! queue ! mux. >/dev/null
Xvfb :96 -screen 0 1280x800x24 >/dev/null 2>&1 & xpid=$!
sleep 1
export DISPLAY=:96 LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
export XDG_CONFIG_HOME=$work/cfg XDG_RUNTIME_DIR=$work/rt
mkdir -p "$XDG_CONFIG_HOME/kelvara" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# End of media closes the player; no sound-rate change.
printf '[Events]\r\nOnStop=2\r\n[Audio]\r\nSoundFreq=0\r\n' > "$XDG_CONFIG_HOME/kelvara/kelvar.ini"

cpu() { LC_ALL=C /usr/bin/time -f '%U %S %e' -o "$work/t" env LC_ALL=ru_RU.UTF-8 "$@" >/dev/null 2>&1 || true; tail -n 1 "$work/t" | LC_ALL=C awk '{printf "%.2f %.2f\n", $1 + $2, $3}'; }
read -r ours ours_wall < <(cpu "$bin" "$clip")
read -r bare bare_wall < <(cpu gst-launch-1.0 playbin uri="file://$clip" video-sink=glimagesink)
echo "20 s clip, CPU seconds (wall): kelvara $ours ($ours_wall), gst-launch playbin $bare ($bare_wall)"
LC_ALL=C awk -v a="$ours" -v b="$bare" 'BEGIN { if (b > 0) printf "ratio %.2f\n", a / b }'
