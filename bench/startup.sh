#!/usr/bin/env bash
# Start-up to window shown: starts the player N times (default 10) under a
# private virtual X server with a private settings folder and reports the
# median and best time from exec to the main window being mapped.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${KELVARA_BIN:-$root/build/kelvara}
runs=${1:-10}
work=$(mktemp -d)
trap 'kill $xpid 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb :97 -screen 0 1280x800x24 >/dev/null 2>&1 & xpid=$!
sleep 1
export DISPLAY=:97 LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
export XDG_CONFIG_HOME=$work/cfg XDG_RUNTIME_DIR=$work/rt
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
times=()
for i in $(seq 1 "$runs"); do
  t0=$(date +%s%N)
  "$bin" & pid=$!
  until xdotool search --onlyvisible --name '^Kelvara 1.9 Beta$' >/dev/null 2>&1; do sleep 0.005; done
  t1=$(date +%s%N)
  times+=($(( (t1 - t0) / 1000000 )))
  kill -TERM $pid; wait $pid || true
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start-up to window shown over $runs runs: median ${sorted[$((runs / 2))]} ms, best ${sorted[0]} ms (first run writes the settings)"
