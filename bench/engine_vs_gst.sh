#!/bin/sh
# The engine against bare GStreamer on the same clip, in one run:
#   open to the first frame, key-frame and accurate seeks (bench_engine, in
#   process), then process-level open and the CPU time of playing the clip
#   to its end (bench_engine --open/--play against gst-launch-1.0).
# Offscreen the engine takes every frame out of its appsink for the picture;
# "bare+frames" is the bare pipeline doing the same (bench_engine --play-bare),
# while gst-launch leaves its appsink unread and so does less than either.
# Usage: bench/engine_vs_gst.sh <build dir with -DKELVARA_BENCH=ON> <clip>
set -eu
build=${1:?build dir}
clip=$(readlink -f "${2:?clip}")
bench="$build/bench/bench_engine"
export QT_QPA_PLATFORM=offscreen
runs=5

cpu() {  # user+system seconds of one command
  /usr/bin/time -f "%U %S %e" "$@" 2>&1 >/dev/null | tail -1 | awk '{printf "%.2f %.2f", $1 + $2, $3}'
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

echo "== in-process (Google Benchmark) =="
KELVARA_BENCH_CLIP="$clip" "$bench" 2>/dev/null | grep BM_ || true

echo "== process open to first frame, median of $runs (s) =="
ours=$(for i in $(seq $runs); do cpu "$bench" --open "$clip" | cut -d' ' -f2; done | median)
bare=$(for i in $(seq $runs); do
  cpu gst-launch-1.0 -q uridecodebin uri="file://$clip" name=d \
    d. ! queue ! videoconvert ! fakesink num-buffers=1 \
    d. ! queue ! audioconvert ! fakesink num-buffers=1 | cut -d' ' -f2; done | median)
echo "engine $ours  gst-launch $bare"

echo "== CPU time playing the whole clip (user+system s, wall s) =="
echo "engine      $(cpu "$bench" --play "$clip")"
echo "bare+frames $(cpu "$bench" --play-bare "$clip")"
echo "gst-launch  $(cpu gst-launch-1.0 -q uridecodebin uri="file://$clip" name=d \
  d. ! queue ! videoconvert ! videobalance ! appsink sync=true caps=video/x-raw,format=BGRx emit-signals=false drop=true max-buffers=1 wait-on-eos=false \
  d. ! queue ! audioconvert ! audioresample ! volume ! audiopanorama ! fakesink sync=true)"
