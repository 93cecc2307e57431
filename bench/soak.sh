#!/usr/bin/env bash
# Whether the desktop program's memory stays flat over a long run: KaveluneLE dances on a
# private X server (Xvfb, software OpenGL) with the null sound output, which keeps real time;
# every 20 seconds another dance and another character are dropped on its window, as a user
# drops them from a file manager (the dance brings its own song through Info/dancemp3.txt, so
# the song changes too). Resident memory is sampled every 10 seconds; after the first two
# minutes (caches filling, every file seen once) the growth per hour is the slope of a least
# squares line through the samples. Target: no growth beyond noise, at most 1 MB per hour over
# 60 minutes.
#
#   bench/soak.sh MINUTES [BUILD_DIR]
#
# BUILD_DIR defaults to build/; it needs KaveluneLE, the demo content in bin/ and the drag
# source of the end-to-end tests (targets KaveluneLE, demo_content, xdnd_drag_source).
# The samples are kept in out/soak/rss.tsv (seconds, KiB).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:?usage: bench/soak.sh MINUTES [BUILD_DIR]}
build=$(cd "${2:-$root/build}" && pwd)
program=$build/bin/KaveluneLE
drag=$build/tests/xdnd_drag_source
for needed in "$program" "$drag" "$build/bin/kavelune.txt"; do
  [ -e "$needed" ] || { echo "missing $needed (build KaveluneLE, demo_content, xdnd_drag_source)" >&2; exit 2; }
done
for tool in Xvfb xdotool awk; do
  command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 2; }
done

# shellcheck source=bench/private_desktop.sh
source "$root/bench/private_desktop.sh"
mapfile -t dances < <(find "$work/home/Sequences" -maxdepth 1 -name '*.dsq' | sort)
# A character is its description file or, without one, its archive (attachments have neither
# role and are left out by taking only archives named like their folder or at the top).
mapfile -t characters < <(find "$work/home/Characters" -maxdepth 1 \( -name '*.dcz' -o -name '*.txt' \) | sort;
                          for folder in "$work/home/Characters"/*/; do
                            name=$(basename "$folder")
                            [ -e "$folder/$name.txt" ] && echo "$folder$name.txt" || echo "$folder$name.dcz"
                          done)
[ ${#dances[@]} -gt 0 ] && [ ${#characters[@]} -gt 0 ] || { echo "no demo dances or characters" >&2; exit 2; }

KAVELUNE_AUDIO=null KAVELUNE_MESSAGE_ANSWERS= "$program" --home "$work/home" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=($program_pid)
window=
for _ in $(seq 200); do
  window=$(xdotool search --onlyvisible --name '^Kavelune$' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the program showed no window" >&2; cat "$work/program.log" >&2; exit 1; }

drop_on_window() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$window")"
  timeout 30 "$drag" "$window" $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) "$@" >/dev/null 2>&1
}

mkdir -p "$root/out/soak"
samples=$root/out/soak/rss.tsv
: >"$samples"
start=$(date +%s)
end=$((start + minutes * 60))
next_change=$((start + 20))
step=0
accepted=0
while :; do
  now=$(date +%s)
  [ "$now" -ge "$end" ] && break
  kill -0 "$program_pid" 2>/dev/null || { echo "the program ended after $((now - start)) s" >&2; tail -20 "$work/program.log" >&2; exit 1; }
  rss=$(awk '$1 == "VmRSS:" { print $2 }' "/proc/$program_pid/status")
  printf '%d\t%d\n' $((now - start)) "$rss" >>"$samples"
  if [ "$now" -ge "$next_change" ]; then
    drop_on_window "${dances[step % ${#dances[@]}]}" "${characters[step % ${#characters[@]}]}" &&
      accepted=$((accepted + 1))
    step=$((step + 1))
    next_change=$((next_change + 20))
  fi
  sleep 10
done

awk -v skip=120 '
  $1 >= skip { n++; sx += $1; sy += $2; sxx += $1 * $1; sxy += $1 * $2; last = $2 }
  NR == 1 { first = $2 }
  END {
    if (n < 3) { print "too short: run longer than two and a half minutes"; exit 1 }
    slope = (n * sxy - sx * sy) / (n * sxx - sx * sx)  # KiB per second
    printf "samples after warm-up: %d, resident at start %.1f MB, at end %.1f MB\n", n, first / 1024, last / 1024
    printf "growth: %.2f MB per hour (target <= 1)\n", slope * 3600 / 1024
  }' "$samples"
echo "drops: $step (a dance and a character each), $accepted accepted"
