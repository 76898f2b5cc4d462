#!/usr/bin/env bash
# End to end through the real windows: Fernpack on a virtual X display
# (Xvfb), driven with real clicks and key presses (xdotool) through add,
# extract, delete, test and both conversions on a fresh archive, the results
# checked on disk and in the result boxes' texts. What the offscreen tests
# cannot show: that the real dialogs, focus, default buttons and keys work
# together.
#
#   scripts/gui-e2e.sh [BUILD_DIR]        (default build/release)
#
# Exits 77 (skipped, for CTest) when Xvfb, xdotool or xclip is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build/release}" && pwd)
bin=$build/bin

for tool in Xvfb xdotool xclip unzip; do
  if ! command -v "$tool" >/dev/null; then
    echo "gui-e2e: $tool is not installed; skipped"
    exit 77
  fi
done
[[ -x $bin/fernpack ]] || { echo "gui-e2e: no $bin/fernpack"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/fernpack-e2e.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "gui-e2e: FAILED: $*" >&2; exit 1; }
step() { echo "gui-e2e: $*"; }

# Xvfb picks a free display itself, so runs side by side do not collide.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# The program of a sanitizer build ends without counting Qt's own leftovers.
export ASAN_OPTIONS=detect_leaks=0
# A home of its own: a slip of a key lands in the scratch folder.
export HOME=$work/home
mkdir -p "$HOME"
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# The files to add, and the folder to extract into (the start folder's only
# subfolder).
src=$work/src
mkdir -p "$src/out"
printf 'Fernpack end to end\n' > "$src/notes.txt"
head -c 200000 /dev/urandom > "$src/data.bin"
seq 1 30000 > "$src/numbers.txt"
archive=$work/e2e.zip

# Waits (up to 30 s) for a visible window whose name is exactly $1 and that
# is not $2; prints its id.
window() {
  local name=$1 not=${2:-} w
  for _ in $(seq 300); do
    for w in $(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null); do
      [[ $w != "$not" ]] && { echo "$w"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
gone() { for _ in $(seq 300); do xdotool getwindowname "$1" >/dev/null 2>&1 || return 0;
           xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0; sleep 0.1; done; return 1; }
# No window manager here: raise and focus a window by hand.
focus() { xdotool windowraise "$1"; xdotool windowfocus --sync "$1"; sleep 0.2; }
click() { focus "$1"; xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
# The result box: its text (copied with Ctrl+C), then closed with Enter.
box_text() {
  local box
  box=$(window Fernpack "$main") || fail "no result box"
  focus "$box"
  [[ -n ${E2E_DEBUG:-} ]] && import -window root "/tmp/e2e-box-$box.png"
  xdotool key ctrl+c
  sleep 0.3
  xclip -o -selection clipboard 2>/dev/null | tr -d '\r' > "$work/box.txt" || true
  xdotool key Return
  gone "$box" || fail "the box did not close on Enter"
  cat "$work/box.txt"
}
expect_box() {
  local text
  text=$(box_text)
  grep -qF -- "$1" <<<"$text" || fail "box says '$text', expected '$1'"
  step "box: $1"
}

cd "$src"
"$bin/fernpack" "$archive" >"$work/fernpack.log" 2>&1 &
pids+=($!)
fernpack=${pids[-1]}
main=$(window Fernpack) || fail "no main window"
sleep 1

# Main window buttons (client coordinates: the middle panel starts at 124).
add_at=(179 23); extract_at=(283 23); convert_at=(388 23)
test_at=(180 64); delete_at=(282 64); exit_at=(583 61); first_row_at=(100 164)

step "Esc cancels the Add dialog"
click "$main" "${add_at[@]}"
dialog=$(window "Add Files") || fail "no Add Files dialog"
focus "$dialog"
xdotool key Escape
gone "$dialog" || fail "Esc left the Add dialog open"
sleep 0.5
[[ ! -e $archive ]] || fail "a cancelled add wrote the archive"

step "add every file of the start folder: Select All Files, Alt+A, Enter"
click "$main" "${add_at[@]}"
dialog=$(window "Add Files") || fail "no Add Files dialog"
click "$dialog" 83 132
focus "$dialog"
xdotool key alt+a
sleep 0.3
xdotool key Return
expect_box "3 files were added"
unzip -tqq "$archive" >/dev/null || fail "unzip -t after the add"
listing=$(unzip -Z1 "$archive")
for f in data.bin notes.txt numbers.txt; do
  grep -qx "$f" <<<"$listing" || fail "$f not in the archive"
done

step "extract everything into the start folder's subfolder: Down, Enter"
click "$main" "${extract_at[@]}"
dialog=$(window "Select Extract Directory") || fail "no extract dialog"
focus "$dialog"
xdotool key Down
sleep 0.3
xdotool key Return
expect_box "3 files were extracted"
for f in data.bin notes.txt numbers.txt; do
  cmp -s "$src/$f" "$src/out/$f" || fail "out/$f differs from what was added"
done

step "delete the first row after Yes"
click "$main" "${first_row_at[@]}"
click "$main" "${delete_at[@]}"
confirm=$(window Confirm) || fail "no confirmation"
focus "$confirm"
xdotool key Return
expect_box "1 file was deleted"
[[ $(unzip -Z1 "$archive") == $'notes.txt\nnumbers.txt' ]] || fail "data.bin is still in the archive"
unzip -tqq "$archive" >/dev/null || fail "unzip -t after the delete"

step "test"
before=$(sha256sum < "$archive")
click "$main" "${test_at[@]}"
expect_box "All 2 files tested OK"
[[ $(sha256sum < "$archive") == "$before" ]] || fail "the test changed the archive"

step "convert to a program: Enter does nothing, Do It Now converts"
click "$main" "${convert_at[@]}"
dialog=$(window "Make Self Extracting Archive") || fail "no self-extractor dialog"
focus "$dialog"
xdotool key Return
sleep 0.5
xwininfo -id "$dialog" | grep -q IsViewable || fail "Enter closed the self-extractor dialog"
click "$dialog" 508 30
expect_box "Filename is now: $work/e2e.exe"
[[ -e $work/e2e.exe && ! -e $archive ]] || fail "no e2e.exe in place of e2e.zip"
unzip -tqq "$work/e2e.exe" >/dev/null 2>&1 || [[ $? == 1 ]] || fail "unzip -t of the program"

step "and back, over a file of that name after Yes"
printf 'someone else' > "$archive"
click "$main" "${convert_at[@]}"
confirm=$(window Confirm) || fail "no overwrite question"
focus "$confirm"
xdotool key Return
expect_box "Filename is now: $archive"
[[ ! -e $work/e2e.exe ]] || fail "e2e.exe is still there"
[[ $(sha256sum < "$archive") == "$before" ]] || fail "the archive did not come back byte for byte"

step "exit"
click "$main" "${exit_at[@]}"
for _ in $(seq 100); do kill -0 "$fernpack" 2>/dev/null || break; sleep 0.1; done
kill -0 "$fernpack" 2>/dev/null && fail "Exit did not end the program"
wait "$fernpack" || fail "fernpack ended with status $?"
step "passed"
