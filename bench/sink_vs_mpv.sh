#!/usr/bin/env bash
# What playing a small film costs the whole process, in one run on the same
# clips and the same private virtual X server (no GPU, so no Xv and only
# software OpenGL there):
#   - the player, closing itself at the end of the clip (OnStop=2);
#   - mpv --no-config --vo=x11 --ao=null (Debian: apt-get install mpv);
#   - gst-launch-1.0 playbin with ximagesink and a clock-synced fakesink for
#     sound (the player's sound path on a machine without a sound device).
# For the 8-second 640x360 MPEG-4 + MP3 AVI: CPU seconds (user + system) and
# peak resident memory; for a 0.4-second clip: wall time from start to exit.
# Medians of RUNS runs (default 3), from /usr/bin/time -v, and the ratios to
# mpv. KELVARA_VIDEOSINK, when set, reaches the player (diagnosis).
# Usage: bench/sink_vs_mpv.sh [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${KELVARA_BIN:-$root/build/kelvara}
runs=${1:-3}
[ -x "$bin" ] || { echo "no $bin: build the kelvara target" >&2; exit 1; }
command -v mpv >/dev/null || { echo "mpv missing: apt-get install mpv" >&2; exit 1; }

work=$(mktemp -d)
xpid=
trap '[ -n "$xpid" ] && kill "$xpid" 2>/dev/null; rm -rf "$work"' EXIT
clip() {  # file frames
  gst-launch-1.0 -q avimux name=mux ! filesink location="$1" \
    videotestsrc num-buffers="$2" pattern=ball ! video/x-raw,width=640,height=360,framerate=25/1 \
      ! avenc_mpeg4 bitrate=1500000 ! queue ! mux. \
    audiotestsrc num-buffers=$(( $2 * 44100 / 25 / 1024 + 1 )) ! audio/x-raw,rate=44100,channels=2 \
      ! lamemp3enc ! mpegaudioparse ! queue ! mux. >/dev/null
}
clip "$work/8s.avi" 200
clip "$work/short.avi" 10

Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 & xpid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n 1 "$work/display") QT_QPA_PLATFORM=xcb
export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
export XDG_CONFIG_HOME=$work/cfg XDG_RUNTIME_DIR=$work/rt
mkdir -p "$XDG_CONFIG_HOME/kelvara" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# The end of the clip closes the player; no sound-rate change.
printf '[Events]\r\nOnStop=2\r\n[Audio]\r\nSoundFreq=0\r\n' > "$XDG_CONFIG_HOME/kelvara/kelvar.ini"

# One run under /usr/bin/time -v: "cpu_seconds peak_kib wall_seconds".
measure() {
  /usr/bin/time -v -o "$work/t" "$@" >/dev/null 2>"$work/err" </dev/null || {
    echo "failed: $*" >&2; tail -n 3 "$work/err" >&2; }
  LC_ALL=C awk -F': ' '
    /User time/ { u = $2 } /System time/ { s = $2 } /Maximum resident/ { m = $2 }
    /Elapsed \(wall clock\)/ { n = split($2, p, ":"); w = 0; for (i = 1; i <= n; i++) w = w * 60 + p[i] }
    END { printf "%.2f %d %.2f\n", u + s, m, w }' "$work/t"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# The command line of each tool for a clip.
command_of() {
  case $1 in
    player) cmd=("$bin" "$2") ;;
    mpv_x11) cmd=(mpv --no-config --vo=x11 --ao=null --really-quiet "$2") ;;
    playbin) cmd=(gst-launch-1.0 -q playbin "uri=file://$2" video-sink=ximagesink "audio-sink=fakesink sync=true") ;;
  esac
}

# The tools take turns within each run, so that a change in the machine's
# load while the script runs falls on all of them alike.
declare -A cpu mem wall
for tool in player mpv_x11 playbin; do : > "$work/long.$tool"; : > "$work/short.$tool"; done
for _ in $(seq "$runs"); do
  for tool in player mpv_x11 playbin; do
    command_of $tool "$work/8s.avi" && measure "${cmd[@]}" >> "$work/long.$tool"
    command_of $tool "$work/short.avi" && measure "${cmd[@]}" >> "$work/short.$tool"
  done
done
for tool in player mpv_x11 playbin; do
  cpu[$tool]=$(awk '{ print $1 }' "$work/long.$tool" | median)
  mem[$tool]=$(awk '{ print $2 }' "$work/long.$tool" | median)
  wall[$tool]=$(awk '{ print $3 }' "$work/short.$tool" | median)
done

export LC_ALL=C
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }
echo "medians of $runs runs; 8 s 640x360 MPEG-4 + MP3 AVI; Xvfb 1280x1024x24"
printf '%-34s %10s %12s %14s\n' "" "CPU s" "peak MiB" "0.4 s clip, s"
for tool in player mpv_x11 playbin; do
  case $tool in
    player) name="kelvara (${KELVARA_VIDEOSINK:-its own choice})" ;;
    mpv_x11) name="mpv --vo=x11 --ao=null" ;;
    playbin) name="gst-launch playbin ximagesink" ;;
  esac
  printf '%-34s %10s %12s %14s\n' "$name" "${cpu[$tool]}" \
    "$(awk -v k="${mem[$tool]}" 'BEGIN { printf "%.1f", k / 1024 }')" "${wall[$tool]}"
done
echo "kelvara / mpv: CPU $(ratio "${cpu[player]}" "${cpu[mpv_x11]}") (target 1.1)," \
  "peak memory $(ratio "${mem[player]}" "${mem[mpv_x11]}") (target 1.2)," \
  "start-play-exit $(ratio "${wall[player]}" "${wall[mpv_x11]}") (target 1.1)"
echo "kelvara / playbin: CPU $(ratio "${cpu[player]}" "${cpu[playbin]}")," \
  "peak memory $(ratio "${mem[player]}" "${mem[playbin]}")," \
  "start-play-exit $(ratio "${wall[player]}" "${wall[playbin]}")"
