#!/usr/bin/env bash
# Builds the Debian package, unpacks it, checks its tree with the desktop validators, and runs
# the unpacked program under its own X server with a fresh home: the state must land in that
# home's configuration folder and nothing may be written into the installed tree.
set -euo pipefail
build=$1
work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null) || fail "cpack"
deb=$(ls "$work"/package/*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets || fail "the package does not depend on Qt"
dpkg-deb -x "$deb" "$work/root"
usr="$work/root/usr"

for path in bin/KaveluneLE bin/KaveluneTrova bin/kvl share/kavelune/kavelune.txt \
            share/kavelune/Characters share/kavelune/Sequences share/kavelune/Sounds share/kavelune/Info \
            share/applications/net.kavelune.KaveluneLE.desktop share/metainfo/net.kavelune.KaveluneLE.metainfo.xml \
            share/icons/hicolor/scalable/apps/net.kavelune.KaveluneLE.svg \
            share/icons/hicolor/48x48/apps/net.kavelune.KaveluneLE.png \
            share/man/man6/KaveluneLE.6 share/man/man1/kvl.1 share/bash-completion/completions/kvl; do
  [ -e "$usr/$path" ] || fail "missing $path"
done
desktop-file-validate "$usr"/share/applications/*.desktop || fail "desktop entries"
appstreamcli validate --no-net "$usr/share/metainfo/net.kavelune.KaveluneLE.metainfo.xml" >/dev/null || fail "metainfo"

# Help and version need no display.
env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/KaveluneLE" --version | grep -q '^KaveluneLE ' || fail "--version"
env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/KaveluneLE" --help | grep -q 'usage:' || fail "--help"
"$usr/bin/kvl" --help | grep -q 'kvl render' || fail "kvl --help"

find "$usr/share/kavelune" -type f -exec sha1sum {} + | sort > "$work/before"

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
home="$work/home"
mkdir -p "$home" "$work/runtime"
# A character of the user's own, beside the installed ones.
mkdir -p "$home/.local/share/kavelune/Characters"
cp -r "$usr/share/kavelune/Characters/Mira" "$home/.local/share/kavelune/Characters/Mine"
chmod 700 "$work/runtime"
for _ in $(seq 50); do DISPLAY=$display xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

env -u KAVELUNE_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME \
  HOME="$home" DISPLAY="$display" XDG_RUNTIME_DIR="$work/runtime" KAVELUNE_AUDIO=null \
  KAVELUNE_MESSAGE_ANSWERS= KAVELUNE_MESSAGE_LOG="$work/boxes.log" \
  "$usr/bin/KaveluneLE" &
program_pid=$!
window=
for _ in $(seq 200); do
  window=$(DISPLAY=$display xdotool search --onlyvisible --name '^Kavelune$' 2>/dev/null | head -n 1) || true
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "the installed program showed no window"
# The press of Escape closes the window, so sending the release after it may find no window:
# xdotool's complaint is no failure. On a loaded machine the first press may come before the
# program reads keys, so it is sent again every few seconds until the program has ended.
for tick in $(seq 300); do
  (( tick % 30 == 1 )) && { DISPLAY=$display xdotool key --window "$window" Escape 2>/dev/null || true; }
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "Escape did not end the program"
wait "$program_pid" || fail "the program ended with an error"
program_pid=

[ -f "$home/.config/kavelune/current.txt" ] || fail "no current.txt in the user's configuration folder"
grep -q 'character' "$home/.config/kavelune/current.txt" || fail "current.txt holds no character"
view="$home/.cache/kavelune/content"
[ -e "$view/Characters/Mine/Mira.dcz" ] && [ -e "$view/Characters/Mira/Mira.dcz" ] ||
  fail "the program folder does not show the user's characters beside the installed ones"
find "$usr/share/kavelune" -type f -exec sha1sum {} + | sort > "$work/after"
diff -q "$work/before" "$work/after" >/dev/null || fail "the program wrote into its installed folder"
[ ! -s "$work/boxes.log" ] || fail "message boxes: $(cat "$work/boxes.log")"
echo "installed package: ok"
