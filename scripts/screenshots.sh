#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Pictures of Fernpack's windows, taken from the real program on a virtual
# X display (Xvfb), driven with xdotool and captured with ImageMagick:
#   main-window.png           an archive open, sorted by "Compr Size" (glyph shown)
#   long-name-hint.png        an archive with a long path, its name's hint shown
#   about.png                 the About box
#   messages-during-add.png   the messages window halfway through a real add
#   messages-after-add.png    the same window once the add is done
#   main-window-after-add.png the main window listing what was added
#   add-dialog.png            the Add Files dialog with a list of files and a folder
#   password-prompt.png       the password question of an encrypted add
#   extract-dialog.png        the Select Extract Directory dialog
#   sfx-dialog.png            the Make Self Extracting Archive dialog
#
#   scripts/screenshots.sh [--update-docs] [BUILD_DIR] [OUT_DIR]
# BUILD_DIR defaults to build/release, OUT_DIR to build/screenshots;
# --update-docs also copies main-window.png to docs/ for the README.
set -euo pipefail
cd "$(dirname "$0")/.."

update_docs=0
if [[ ${1:-} == --update-docs ]]; then update_docs=1; shift; fi
build=${1:-build/release}
out=${2:-build/screenshots}
bin=$(cd "$build" && pwd)/bin
cmake --build "$build" --target fernpack fernpack-add-shots >/dev/null
mkdir -p "$out"
out=$(cd "$out" && pwd)

# A fixed place, so the pictures show the same paths every time.
work=${TMPDIR:-/tmp}/fernpack-screenshots
rm -rf "$work" && mkdir -p "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A free display number.
display=90
while [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# Archives worth looking at: several folders, sizes and dates.
src=$work/project
mkdir -p "$src/docs" "$src/src/engine" "$src/images"
printf 'Fernpack sample project\n' > "$src/README.md"
seq 1 40000 > "$src/docs/numbers.txt"
lines() { awk -v n="$1" -v t="$2" 'BEGIN { for (i = 0; i < n; i++) print t }'; }
lines 3000 'The archive holds members, each with a name, a size and a date.' > "$src/docs/manual.txt"
head -c 300000 /dev/urandom > "$src/images/photo.jpg"
head -c 70000 /dev/urandom > "$src/images/icon.png"
for f in main.cpp listing.cpp bridge.cpp; do lines 800 "// $f: int main() { return 0; }" > "$src/src/engine/$f"; done
touch -d '2023-03-14 09:26' "$src/README.md"; touch -d '2024-11-02 17:45' "$src/docs/numbers.txt"
touch -d '2022-06-30 12:00' "$src/images/photo.jpg"; touch -d '2025-01-09 08:15' "$src/src/engine/main.cpp"
(cd "$src" && zip -q -r -9 "$work/project.zip" .)

# Waits (up to a minute) for a window whose name is exactly $1 and prints
# its id.
window() {
  local w
  for _ in $(seq 600); do
    w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [[ -n $w ]] && { echo "$w"; return 0; }
    sleep 0.1
  done
  echo "screenshots: no window named '$1'" >&2
  exit 1
}

# 1. The main window, sorted by "Compr Size": the first click sorts descending.
"$bin/fernpack" "$work/project.zip" >/dev/null 2>&1 &
pids+=($!)
main=$(window Fernpack)
sleep 1
# No window manager here: give the window the input focus by hand.
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 358 146 click 1
sleep 0.5
xdotool mousemove --window "$main" 600 420
sleep 0.5
import -window "$main" "$out/main-window.png"

# 2. The About box.
xdotool mousemove --window "$main" 582 21 click 1
about=$(window About)
sleep 0.5
import -window "$about" "$out/about.png"
kill "${pids[-1]}" 2>/dev/null || true

# 3. A long archive name and its hint.
long=$work/archives-kept-for-the-annual-report-of-the-fern-society/drafts-and-final-versions
mkdir -p "$long"
cp "$work/project.zip" "$long/fern-society-annual-report-2024.zip"
"$bin/fernpack" "$long/fern-society-annual-report-2024.zip" >/dev/null 2>&1 &
pids+=($!)
main=$(window Fernpack)
sleep 1
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 300 110
sleep 0.2
xdotool mousemove --window "$main" 302 111
sleep 2
eval "$(xdotool getwindowgeometry --shell "$main")"
# The hint may reach beyond the window: take the screen's band, cut the
# empty (black) screen away.
import -window root -crop "1280x$((HEIGHT / 2))+0+${Y}" +repage -trim +repage "$out/long-name-hint.png"
kill "${pids[-1]}" 2>/dev/null || true

# 4. The messages window during and after a real add through the libraries.
for i in 1 2 3 4 5 6; do
  { head -c 1500000 /dev/urandom; lines 60000 "measurement $i: the fronds unroll"; } > "$src/images/scan-$i.tif"
done
"$bin/fernpack-add-shots" "$out" "$src" "$work/added.zip" >/dev/null

# 5. The command dialogs and the password question, on the real program
# started in the sample project's folder (where the dialogs' trees open).
(cd "$src/docs" && exec "$bin/fernpack" "$work/project.zip" >/dev/null 2>&1) &
pids+=($!)
main=$(window Fernpack)
sleep 1
press() { xdotool windowraise "$1"; xdotool windowfocus --sync "$1"; sleep 0.2; }
clickat() { press "$1"; xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.4; }
clickat "$main" 179 23                 # Add
dialog=$(window "Add Files")
clickat "$dialog" 83 132               # Select All Files
clickat "$dialog" 223 172              # Add File ==>
clickat "$dialog" 224 142              # Add Dir ==>
clickat "$dialog" 220 90               # Encrypt Files
xdotool mousemove --window "$dialog" 600 420
sleep 0.5
import -window "$dialog" "$out/add-dialog.png"
press "$dialog"; xdotool key Return    # DO IT NOW: the password is asked for
prompt=$(window Password)
press "$prompt"; xdotool type --delay 40 'fronds'
sleep 0.5
import -window "$prompt" "$out/password-prompt.png"
xdotool key Escape
sleep 0.5
clickat "$main" 283 23                 # Extract
dialog=$(window "Select Extract Directory")
sleep 0.5
import -window "$dialog" "$out/extract-dialog.png"
press "$dialog"; xdotool key Escape
sleep 0.5
clickat "$main" 388 23                 # Convert
dialog=$(window "Make Self Extracting Archive")
sleep 0.5
import -window "$dialog" "$out/sfx-dialog.png"
press "$dialog"; xdotool key Escape
kill "${pids[-1]}" 2>/dev/null || true

if ((update_docs)); then
  mkdir -p docs
  cp "$out/main-window.png" docs/main-window.png
fi
ls -1 "$out"/*.png
