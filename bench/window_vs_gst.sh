#!/usr/bin/env bash
# The player in its real window against gst-launch's playbin with the same
# video sink, on the same 20-second clip and the same private virtual X
# server, in one run (playbin gets the video sink the player chose):
#   - frames the video sink rendered and dropped while the whole clip played;
#   - time from a forward jump (the player: its jump key; playbin: a key-unit
#     flushing seek) to the first picture shown at the new place, paused and
#     playing, median and spread over JUMPS jumps, and when on the way the
#     seek's flush reached the sink, the picture left the decoder and the
#     picture reached the sink.
#   - a 1920x1080 clip at 25 fps played by the player with its movie panel
#     at 640x360 and in full screen on the 1280x1024 screen: frames dropped.
# Usage: bench/window_vs_gst.sh [build dir with -DKELVARA_BENCH=ON] [jumps]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
jumps=${2:-20}
step=5
frames=500
bench=$build/bench/bench_window
[ -x "$bench" ] || { echo "no $bench: build the bench_window target" >&2; exit 1; }

work=$(mktemp -d)
xpid=
trap '[ -n "$xpid" ] && kill "$xpid" 2>/dev/null; rm -rf "$work"' EXIT
clip=$work/clip.avi
gst-launch-1.0 -q avimux name=mux ! filesink location="$clip" \
  videotestsrc num-buffers=$frames pattern=ball ! video/x-raw,width=640,height=360,framerate=25/1 \
    ! avenc_mpeg4 bitrate=1500000 ! queue ! mux. \
  audiotestsrc num-buffers=862 ! audio/x-raw,rate=44100,channels=2 ! lamemp3enc ! mpegaudioparse ! queue ! mux. >/dev/null

# A display number nobody else holds: the server picks it and tells us.
Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 & xpid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n 1 "$work/display") QT_QPA_PLATFORM=xcb
export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
export XDG_CONFIG_HOME=$work/cfg XDG_RUNTIME_DIR=$work/rt
mkdir -p "$XDG_CONFIG_HOME/kelvara" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# The end of the clip leaves the player where it is; jumps of $step s that
# land on key frames, on the right-arrow key (row 22 of the key map, the
# forward jump: a settings file lists the keys it keeps); no sound-rate change.
printf '[Video]\r\nKeySeek=%s\r\nKeyFrameSeek=1\r\n[Events]\r\nOnOpenPlay=1\r\nOnStop=0\r\nOnStopRewind=0\r\n[Audio]\r\nSoundFreq=0\r\n[CommandMap]\r\nWind_016=Right\r\n' \
  "$step" > "$XDG_CONFIG_HOME/kelvara/kelvar.ini"

run() {  # side -> its output lines, or nothing when it failed
  timeout 80 "$bench" "$1" "$clip" "$step" "$jumps" 2>"$work/$1.err" || {
    echo "$1 side failed:" >&2; tail -n 5 "$work/$1.err" >&2; }
}
run player > "$work/player.out"
# playbin gets the sink the player chose on this display.
BENCH_BARE_SINK=$(awk '$1 == "play" { for (i = 2; i <= NF; i++) if ($i ~ /^sink=/) print substr($i, 6) }' "$work/player.out")
export BENCH_BARE_SINK=${BENCH_BARE_SINK:-glimagesink}
run bare > "$work/bare.out"

field() {  # file line key
  awk -v l="$2" -v k="$3" '$1 == l { for (i = 2; i <= NF; i++) { split($i, a, "="); if (a[1] == k) print a[2] } }' "$1"
}
ratio() { LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { if (a != "" && b != "" && b > 0) printf "%.2f", a / b; else printf "-" }'; }

export LC_ALL=C
echo "20 s clip ($frames frames, 640x360 MPEG-4 + MP3), $jumps jumps of $step s each way"
printf '%-22s %-28s %-28s\n' "" "kelvara" "playbin (bare)"
for side in player bare; do
  eval "${side}_r=\$(field \$work/$side.out play rendered) ${side}_d=\$(field \$work/$side.out play dropped)"
  eval "${side}_s=\$(field \$work/$side.out play sink) ${side}_a=\$(field \$work/$side.out play arrived)"
done
printf '%-22s %-28s %-28s\n' "video sink" "${player_s:-?}" "${bare_s:-?}"
printf '%-22s %-28s %-28s\n' "  decoder" "$(field "$work/player.out" play decoder)" "$(field "$work/bare.out" play decoder)"
printf '%-22s %-28s %-28s\n' "frames rendered" "${player_r:-?}" "${bare_r:-?}"
printf '%-22s %-28s %-28s\n' "dropped at the sink" "${player_d:-?}" "${bare_d:-?}"
# The first picture is there before the count starts, from the opening pause.
printf '%-22s %-28s %-28s\n' "reached the sink" "$([ -n "${player_a:-}" ] && echo $((player_a + 1)) || echo ?)" \
  "$([ -n "${bare_a:-}" ] && echo $((bare_a + 1)) || echo ?)"
printf '%-22s %-28s %-28s\n' "not shown (of $frames)" \
  "$([ -n "${player_r:-}" ] && echo $((frames - player_r)) || echo ?)" \
  "$([ -n "${bare_r:-}" ] && echo $((frames - bare_r)) || echo ?)"
printf '%-22s %-28s %-28s\n' "  late at (s)" "$(field "$work/player.out" play late_at)" "$(field "$work/bare.out" play late_at)"
printf '%-22s %-28s %-28s\n' "  never sent at (s)" "$(field "$work/player.out" play skipped_at)" \
  "$(field "$work/bare.out" play skipped_at)"
for kind in seek-paused seek-playing; do
  cell() { printf '%s ms [%s..%s] n=%s' "$(field "$1" $kind median)" "$(field "$1" $kind p10)" \
    "$(field "$1" $kind p90)" "$(field "$1" $kind n)"; }
  printf '%-22s %-28s %-28s\n' "$kind median [p10..p90]" "$(cell "$work/player.out")" "$(cell "$work/bare.out")"
  printf '%-22s %-28s %-28s\n' "  min..max, failed" \
    "$(field "$work/player.out" $kind min)..$(field "$work/player.out" $kind max), $(field "$work/player.out" $kind failed)" \
    "$(field "$work/bare.out" $kind min)..$(field "$work/bare.out" $kind max), $(field "$work/bare.out" $kind failed)"
  # Where the time went: the seek's flush at the sink, the picture out of the
  # decoder, the picture at the sink (medians, ms from the request).
  stages() { printf '%s / %s / %s' "$(field "$1" $kind flush_median)" "$(field "$1" $kind decoded_median)" \
    "$(field "$1" $kind arrival_median)"; }
  printf '%-22s %-28s %-28s\n' "  flush/decoded/at sink" "$(stages "$work/player.out")" "$(stages "$work/bare.out")"
  echo "  $kind ratio kelvara/bare (medians): $(ratio "$(field "$work/player.out" $kind median)" "$(field "$work/bare.out" $kind median)")"
done

# A film far larger than its window: shrinking 1920x1080 to 640x360 and to
# the full screen must keep up at 25 fps. Opened paused (the view is set
# before it plays on from the start), played once to the end.
hd=$work/hd.avi
gst-launch-1.0 -q avimux name=mux ! filesink location="$hd" \
  videotestsrc num-buffers=200 pattern=ball ! video/x-raw,width=1920,height=1080,framerate=25/1 \
    ! avenc_mpeg4 bitrate=6000000 ! queue ! mux. \
  audiotestsrc num-buffers=345 ! audio/x-raw,rate=44100,channels=2 ! lamemp3enc ! mpegaudioparse ! queue ! mux. >/dev/null
printf '[Events]\r\nOnOpenPlay=1\r\nOnStop=0\r\nOnStopRewind=0\r\n[Audio]\r\nSoundFreq=0\r\n' \
  > "$XDG_CONFIG_HOME/kelvara/kelvar.ini"
echo
echo "8 s 1920x1080 MPEG-4 at 25 fps (200 frames) in the player"
printf '%-9s %-11s %-11s %-9s %-8s %-8s %-12s\n' view panel picture rendered dropped arrived sink
for view in 640x360 full; do
  LC_ALL=ru_RU.UTF-8 timeout 80 "$bench" view "$hd" "$view" > "$work/view.out" 2>"$work/view.err" || {
    echo "$view failed:" >&2; tail -n 5 "$work/view.err" >&2; }
  printf '%-9s %-11s %-11s %-9s %-8s %-8s %-12s\n' "$view" "$(field "$work/view.out" view panel)" \
    "$(field "$work/view.out" view picture)" \
    "$(field "$work/view.out" play rendered)" "$(field "$work/view.out" play dropped)" \
    "$(field "$work/view.out" play arrived)" "$(field "$work/view.out" play sink)"
done
