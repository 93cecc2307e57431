#!/usr/bin/env bash
# What the desktop program costs while the character dances, beside a bare OpenGL window that
# only clears and swaps at the same size and frame rate, both measured in one run on one private
# X server (Xvfb, software OpenGL):
#
#   - whole-process processor time (user + system, every thread: drawing, music decoding) per
#     rendered frame, over a steady stretch after a warm-up;
#   - resident memory at the end of that stretch, and its peak;
#   - time from starting the process to the end of its first buffer swap.
#
# Frames are counted by a small library preloaded into both programs (bench_swap_counter), so
# neither program is changed for the measurement. Sound goes to the null output, which keeps
# real time, so the music is decoded as it would be for a sound card.
#
#   bench/desktop_frame_cost.sh [BUILD_DIR] [SECONDS]
#
# BUILD_DIR defaults to build/ (it needs KaveluneLE, the demo content in bin/ and the targets
# bench_bare_gl_window and bench_swap_counter); SECONDS, the measured stretch, defaults to 10.
# KAVELUNE_PROGRAM=KaveluneTrova measures the second edition (clicks beside the character go
# through, so its window keeps an input region following the character).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
seconds=${2:-10}
warm_up=3

program=$build/bin/${KAVELUNE_PROGRAM:-KaveluneLE}
bare=$build/bench/bench_bare_gl_window
counter=$build/bench/libbench_swap_counter.so
for needed in "$program" "$bare" "$counter" "$build/bin/kavelune.txt"; do
  [ -e "$needed" ] || { echo "missing $needed (build KaveluneLE, demo_content, bench_bare_gl_window, bench_swap_counter)" >&2; exit 2; }
done
for tool in Xvfb xdotool od; do
  command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 2; }
done

# shellcheck source=bench/private_desktop.sh
source "$root/bench/private_desktop.sh"

clock_ticks=$(getconf CLK_TCK)
now_ns() { date +%s%N; }
swaps() { od -An -t u8 -j 0 -N 8 "$1" 2>/dev/null | tr -d ' ' || echo 0; }
first_swap_ns() { od -An -t u8 -j 8 -N 8 "$1" 2>/dev/null | tr -d ' ' || echo 0; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
status_kib() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

# Runs one program and measures it. Arguments: a label, the window title, the command.
# Sets: first_frame_ms, cpu_per_frame_ms, frames_per_second, rss_kib, peak_kib, geometry.
measure() {
  local label=$1 title=$2
  shift 2
  local record=$work/$label.swaps
  local started
  started=$(now_ns)
  KAVELUNE_SWAP_COUNT_FILE=$record LD_PRELOAD=$counter "$@" >/dev/null 2>"$work/$label.err" &
  local pid=$!
  pids+=("$pid")
  local first=0
  for _ in $(seq 600); do
    first=$(first_swap_ns "$record")
    [ -n "$first" ] && [ "$first" != 0 ] && break
    kill -0 "$pid" 2>/dev/null || { echo "$label ended early:" >&2; cat "$work/$label.err" >&2; exit 1; }
    sleep 0.05
  done
  [ "$first" != 0 ] || { echo "$label drew no frame" >&2; exit 1; }
  first_frame_ms=$(( (first - started) / 1000000 ))

  sleep "$warm_up"
  local swaps0 cpu0 swaps1 cpu1
  swaps0=$(swaps "$record"); cpu0=$(cpu_ticks "$pid")
  sleep "$seconds"
  swaps1=$(swaps "$record"); cpu1=$(cpu_ticks "$pid")
  rss_kib=$(status_kib "$pid" VmRSS)
  peak_kib=$(status_kib "$pid" VmHWM)
  local frames=$(( swaps1 - swaps0 ))
  [ "$frames" -gt 0 ] || { echo "$label drew no frames while measured" >&2; exit 1; }
  cpu_per_frame_ms=$(awk -v t=$(( cpu1 - cpu0 )) -v hz="$clock_ticks" -v f="$frames" 'BEGIN { printf "%.2f", t * 1000 / hz / f }')
  frames_per_second=$(awk -v f="$frames" -v s="$seconds" 'BEGIN { printf "%.1f", f / s }')

  local window
  window=$(xdotool search --onlyvisible --name "^$title\$" | head -n 1)
  geometry=$(xdotool getwindowgeometry --shell "$window" | tr '\n' ' ')
  xdotool windowfocus --sync "$window" key Escape
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

field() { sed -n "s/.*\b$1=\([0-9-]*\).*/\1/p" <<<"$geometry"; }

echo "Measuring $(basename "$program") on the demo content for ${seconds} s after ${warm_up} s ..." >&2
measure kavelune Kavelune env KAVELUNE_AUDIO=null KAVELUNE_BACKDROP=tiles "$program" --home "$work/home"
le=("$first_frame_ms" "$cpu_per_frame_ms" "$frames_per_second" "$rss_kib" "$peak_kib")
x=$(field X); y=$(field Y); width=$(field WIDTH); height=$(field HEIGHT)

echo "Measuring the bare window at ${width}x${height}, ${le[2]} frames/s ..." >&2
measure bare "Bare GL window" "$bare" "$x" "$y" "$width" "$height" "${le[2]}"
base=("$first_frame_ms" "$cpu_per_frame_ms" "$frames_per_second" "$rss_kib" "$peak_kib")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
printf '%-28s %14s %14s %8s\n' "" "$(basename "$program")" "bare window" "ratio"
printf '%-28s %14s %14s %8s\n' "window" "${width}x${height}" "${width}x${height}" ""
printf '%-28s %14s %14s %8s\n' "frames per second" "${le[2]}" "${base[2]}" "$(ratio "${le[2]}" "${base[2]}")"
printf '%-28s %14s %14s %8s\n' "cpu per frame (ms)" "${le[1]}" "${base[1]}" "$(ratio "${le[1]}" "${base[1]}")"
printf '%-28s %14s %14s %8s\n' "resident memory (KiB)" "${le[3]}" "${base[3]}" "$(ratio "${le[3]}" "${base[3]}")"
printf '%-28s %14s %14s %8s\n' "peak resident memory (KiB)" "${le[4]}" "${base[4]}" "$(ratio "${le[4]}" "${base[4]}")"
printf '%-28s %14s %14s %8s\n' "start to first frame (ms)" "${le[0]}" "${base[0]}" "$(ratio "${le[0]}" "${base[0]}")"
