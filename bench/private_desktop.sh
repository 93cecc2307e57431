# Sourced by the benchmarks that run the desktop program: a private X server (Xvfb, 1024 x 768)
# in DISPLAY, a runtime folder, and the demo content of "$build/bin" copied without the programs
# into "$work/home". Sets `work` (removed at exit) and `pids` (processes ended at exit: add
# whatever is started).
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The server writes its display number once it takes connections.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY KAVELUNE_HOME KAVELUNE_STAND_IN_FIGURE

mkdir "$work/home"
for entry in "$build/bin"/*; do
  if [ -f "$entry" ] && [ -x "$entry" ]; then continue; fi
  cp -r "$entry" "$work/home/"
done
