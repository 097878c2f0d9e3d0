#!/bin/sh
# The decoder benchmark (the filter dialog's "Тест видео-декодера") against
# the bare decoder on the same clips, in the same run: MPEG-4 Part 2 in AVI,
# H.264 in MP4 and MPEG-2 in a program stream, at 640x360 and 1920x1080.
# The bare pipeline is the same demuxer and decoder into fakesink sync=false.
# Usage: bench/decoder_vs_gst.sh <build dir with -DKELVARA_BENCH=ON> [clip dir] [runs]
set -eu
build=${1:?build dir}
dir=${2:-$build/decoder-clips}
runs=${3:-15}
mkdir -p "$dir"
export QT_QPA_PLATFORM=offscreen LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8

# A small picture decodes at thousands of frames a second, so its clip is
# long enough for a second or more of decoding: over a shorter span the
# millisecond tick and the decoder's first frames move the figure by several
# per cent from run to run.
clip() {  # name size seconds codec-options
  out="$dir/$1"
  [ -s "$out" ] || ffmpeg -v error -y -f lavfi -i "testsrc2=size=$2:rate=25" -t "$3" $4 "$out"
}
for s in 640x360:240 1920x1080:20; do
  size=${s%%:*}; secs=${s##*:}
  clip "mpeg4_${size}_${secs}s.avi" "$size" "$secs" "-c:v mpeg4 -q:v 4 -g 25"
  clip "h264_${size}_${secs}s.mp4" "$size" "$secs" "-c:v libx264 -preset veryfast -g 25 -pix_fmt yuv420p"
  clip "mpeg2_${size}_${secs}s.mpg" "$size" "$secs" "-c:v mpeg2video -q:v 4 -g 25 -f vob"
done

# Printed per clip: the rate the dialog reports and the same elements it ran
# (demuxer, the parser where it kept one, decoder) in a bare pipeline, which
# is the figure it answers to. With KELVARA_BENCH_ALL=1 also the bare
# demuxer and decoder, the same with the parser, and the automatic decoder
# that playback uses (its queue hands every packet from the demuxer's thread
# to the decoder's); each costs as much time as the comparison itself.
run() {  # clip demuxer parser decoder
  f="$dir/$1"
  if [ "${KELVARA_BENCH_ALL:-0}" = 1 ]; then
    set -- \
      "filesrc location=$f ! $2 ! $4 ! fakesink name=sink sync=false" \
      "filesrc location=$f ! $2 ! $3 ! $4 ! fakesink name=sink sync=false" \
      "filesrc location=$f ! decodebin ! fakesink name=sink sync=false"
  else
    set --
  fi
  "$build/bench/decoder_bench" "$f" "$runs" "$@"
}
for s in 640x360_240s 1920x1080_20s; do
  run "mpeg4_$s.avi" avidemux mpeg4videoparse avdec_mpeg4
  run "h264_$s.mp4" qtdemux h264parse avdec_h264
  run "mpeg2_$s.mpg" mpegpsdemux mpegvideoparse avdec_mpeg2video
done
