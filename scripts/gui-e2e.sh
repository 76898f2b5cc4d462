#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End to end through the real windows: Fernpack on a virtual X display
# (Xvfb), driven with real clicks and key presses (xdotool) through add,
# extract, delete, test and both conversions on a fresh archive, the results
# checked on disk and in the result boxes' texts; and that the current
# member stays current across a delete (the next one takes its place) and
# an add. What the offscreen tests
# cannot show: that the real dialogs, focus, default buttons and keys work
# together.
#
#   scripts/gui-e2e.sh [BUILD_DIR]        (default build/release)
#
# Every wait polls for a window by name (E2E_TIMEOUT seconds, default 60),
# so a loaded machine makes the run slower, not red. Exits 77 (skipped, for
# CTest) when Xvfb, xdotool, xclip, unzip or 7zz is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build/release}" && pwd)
bin=$build/bin

for tool in Xvfb xdotool xclip unzip 7zz; do
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
fail() {
  echo "gui-e2e: FAILED: $*" >&2
  [[ -s $work/fernpack.log ]] && tail -n 20 "$work/fernpack.log" >&2
  exit 1
}
step() { echo "gui-e2e: $*"; }

# Xvfb picks a free display itself, so runs side by side do not collide.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 600); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# The program of a sanitizer build ends without counting Qt's own leftovers.
export ASAN_OPTIONS=detect_leaks=0
# A home of its own: a slip of a key lands in the scratch folder.
export HOME=$work/home
mkdir -p "$HOME"
for _ in $(seq 600); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# The files to add, and the folder to extract into (the start folder's only
# subfolder).
src=$work/src
mkdir -p "$src/out"
printf 'Fernpack end to end\n' > "$src/notes.txt"
head -c 200000 /dev/urandom > "$src/data.bin"
seq 1 30000 > "$src/numbers.txt"
archive=$work/e2e.zip

polls=$((${E2E_TIMEOUT:-60} * 10))
# Waits for a visible window whose name is exactly $1 and that is not $2;
# prints its id.
window() {
  local name=$1 not=${2:-} w
  for _ in $(seq "$polls"); do
    for w in $(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null); do
      [[ $w != "$not" ]] && { echo "$w"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
shown() { xdotool search --onlyvisible --name '' 2>/dev/null | grep -qx "$1"; }
# Waits until window $1 is no longer shown.
gone() { for _ in $(seq "$polls"); do shown "$1" || return 0; sleep 0.1; done; return 1; }
# No window manager here: raise and focus a window by hand.
focus() { xdotool windowraise "$1"; xdotool windowfocus --sync "$1"; sleep 0.2; }
click() { focus "$1"; xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
# The result box: its text (copied with Ctrl+C), then closed with Enter.
# The clipboard holds a mark first, so the copy is seen when it lands.
box_text() {
  local box text
  box=$(window Fernpack "$main") || fail "no result box"
  printf 'e2e: nothing copied' | xclip -selection clipboard -i >/dev/null 2>&1
  focus "$box"
  [[ -n ${E2E_DEBUG:-} ]] && import -window root "/tmp/e2e-box-$box.png"
  xdotool key ctrl+c
  for _ in $(seq "$polls"); do
    text=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r') || true
    [[ $text != 'e2e: nothing copied' ]] && break
    sleep 0.1
  done
  xdotool key Return
  gone "$box" || fail "the box did not close on Enter"
  printf '%s\n' "$text"
}
# Types $2 into the password question $1 and answers it with Enter.
answer_password() {
  local prompt
  prompt=$(window Password "${3:-}") || fail "no password question ($1)"
  focus "$prompt"
  xdotool type --delay 20 -- "$2"
  xdotool key Return
  gone "$prompt" || fail "the password question did not close on Enter"
  echo "$prompt"
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
test_at=(180 64); delete_at=(282 64); exit_at=(583 61); second_row_at=(100 184)
# The Add dialog's (its middle column starts at 173). Its accelerators
# (Alt+A) press their button on a timer, so a key typed at once can overtake
# them: the buttons are clicked instead.
select_all_at=(83 132); add_file_at=(223 172); encrypt_at=(220 90)

step "Esc cancels the Add dialog"
click "$main" "${add_at[@]}"
dialog=$(window "Add Files") || fail "no Add Files dialog"
focus "$dialog"
xdotool key Escape
gone "$dialog" || fail "Esc left the Add dialog open"
sleep 0.5
[[ ! -e $archive ]] || fail "a cancelled add wrote the archive"

step "add every file of the start folder: Select All Files, Add File, Enter"
click "$main" "${add_at[@]}"
dialog=$(window "Add Files") || fail "no Add Files dialog"
click "$dialog" "${select_all_at[@]}"
click "$dialog" "${add_file_at[@]}"
focus "$dialog"
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
xdotool key Down Return
expect_box "3 files were extracted"
for f in data.bin notes.txt numbers.txt; do
  cmp -s "$src/$f" "$src/out/$f" || fail "out/$f differs from what was added"
done

# Deletes the grid's current row after Yes.
delete_current() {
  click "$main" "${delete_at[@]}"
  confirm=$(window Confirm) || fail "no confirmation"
  focus "$confirm"
  xdotool key Return
  expect_box "1 file was deleted"
}

step "delete the second row after Yes"
click "$main" "${second_row_at[@]}"
delete_current
[[ $(unzip -Z1 "$archive") == $'data.bin\nnumbers.txt' ]] || fail "notes.txt is still in the archive"
unzip -tqq "$archive" >/dev/null || fail "unzip -t after the delete"

step "the row after the deleted one stays current across an add above it"
printf 'sorts first\n' > "$src/aa-first.txt"
click "$main" "${add_at[@]}"
dialog=$(window "Add Files") || fail "no Add Files dialog"
focus "$dialog"
xdotool key End Home                   # the first file alone: aa-first.txt
click "$dialog" "${add_file_at[@]}"
focus "$dialog"
xdotool key Return
expect_box "1 file was added"
[[ $(unzip -Z1 "$archive" | sort | head -n 1) == aa-first.txt ]] || fail "aa-first.txt not added"
# No click: the delete takes the current row, which must still be numbers.txt.
delete_current
[[ $(unzip -Z1 "$archive" | sort) == $'aa-first.txt\ndata.bin' ]] ||
  fail "the delete did not take numbers.txt: $(unzip -Z1 "$archive" | tr '\n' ' ')"

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
shown "$dialog" || fail "Enter closed the self-extractor dialog"
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

step "encrypted add: the last file, Encrypt Files, the password typed twice"
printf 'under a password\n' > "$src/zz-secret.txt"
password='fern & frond 7'
click "$main" "${add_at[@]}"
dialog=$(window "Add Files") || fail "no Add Files dialog"
focus "$dialog"
xdotool key End                        # the file list has the keys
click "$dialog" "${add_file_at[@]}"
click "$dialog" "${encrypt_at[@]}"
focus "$dialog"
xdotool key Return
first=$(answer_password "new" "$password")
answer_password "again" "$password" "$first" >/dev/null
expect_box "1 file was added"
7zz t -p"$password" "$archive" >/dev/null || fail "7zz t with the password"
7zz t -p"wrong" "$archive" >/dev/null 2>&1 && fail "the member opens without its password"
[[ $(unzip -Z1 "$archive" | tail -n 1) == zz-secret.txt ]] || fail "zz-secret.txt not added"

step "extract asks for it once; the test then uses it"
rm -rf "$src/out"/*
click "$main" "${extract_at[@]}"
dialog=$(window "Select Extract Directory") || fail "no extract dialog"
focus "$dialog"
xdotool key Return                     # the folder of the last extract
answer_password "extract" "$password" >/dev/null
expect_box "3 files were extracted"
cmp -s "$src/zz-secret.txt" "$src/out/zz-secret.txt" || fail "out/zz-secret.txt differs"
click "$main" "${test_at[@]}"
expect_box "All 3 files tested OK"

step "exit"
click "$main" "${exit_at[@]}"
for _ in $(seq "$polls"); do kill -0 "$fernpack" 2>/dev/null || break; sleep 0.1; done
kill -0 "$fernpack" 2>/dev/null && fail "Exit did not end the program"
wait "$fernpack" || fail "fernpack ended with status $?"
step "passed"
