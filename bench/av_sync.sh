#!/usr/bin/env bash
# How closely the dance follows the heard sound: builds the benchmark and the demo content it
# takes its character from, then plays a click track through a private PulseAudio server while
# the scene dances (see bench/av_sync.cpp). The last line it prints is
#   av-sync: median N ms, p95 N ms, settle N ms
#
#   bench/av_sync.sh [SECONDS] [clock]
#
# SECONDS, the whole run (three plays, one with the sink suspended for 0.5 s), defaults to 60.
# "clock" measures the music time counted by the clock from Play, without the output's reports,
# as the program did before it followed the output. BUILD_DIR (environment) defaults to build/.
# Needs pulseaudio and pactl (scripts/setup installs them).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
mode=${2:-}
build=${BUILD_DIR:-$root/build}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j2 --target bench_av_sync demo_content
exec "$build/bench/bench_av_sync" "$build/bin" "$seconds" 4 $mode
