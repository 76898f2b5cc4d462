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
# Then the desktop's ways in, on a second run: files and an archive dragged
# onto the window from a drag source made for the test (real XDND), rows
# dragged out onto a drop target that copies what it gets as a file manager
# does, a member opened with a stand-in desktop program (chosen through
# mimeapps.list) that changes it and the update question, the rows' menu,
# every key, Find, and a file manager's "Compress with Fernpack".
#
# Every wait polls for a window by name (E2E_TIMEOUT seconds, default 60),
# so a loaded machine makes the run slower, not red. Exits 77 (skipped, for
# CTest) when Xvfb, xdotool, xclip, unzip, 7zz or xdg-open is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=$(cd "${1:-build/release}" && pwd)
bin=$build/bin

for tool in Xvfb xdotool xclip unzip 7zz xdg-open; do
  if ! command -v "$tool" >/dev/null; then
    echo "gui-e2e: $tool is not installed; skipped"
    exit 77
  fi
done
[[ -x $bin/fernpack ]] || { echo "gui-e2e: no $bin/fernpack"; exit 1; }
# The drag source and drop target are built with the tests.
dnd=$build/tests/app/fernpack-dnd-helper

work=$(mktemp -d "${TMPDIR:-/tmp}/fernpack-e2e.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "gui-e2e: FAILED: $*" >&2
  if [[ -n ${E2E_DEBUG:-} ]]; then
    import -window root /tmp/e2e-failed.png
    find "$work/tmp" -type f -path '*fernpack-*' -exec sh -c 'echo "== $1"; cat "$1"' _ {} \; >&2
  fi
  [[ -s $work/fernpack.log ]] && tail -n 20 "$work/fernpack.log" >&2
  exit 1
}
step() { echo "gui-e2e: $*"; }

# Xvfb picks a free display itself, so runs side by side do not collide.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
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

step "convert to a program: Alt+P reaches the caption, Enter is Do It Now"
click "$main" "${convert_at[@]}"
dialog=$(window "Make Self Extracting Archive") || fail "no self-extractor dialog"
focus "$dialog"
xdotool key alt+p ctrl+a
xdotool type --delay 20 'E2E caption'
xdotool key Return
expect_box "Filename is now: $work/e2e.exe"
grep -q 'E2E caption' "$work/e2e.exe" || fail "the program does not carry the caption typed"
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

# ---------------------------------------------------------------------------
# The desktop's ways in.
if [[ ! -x $dnd ]]; then
  echo "gui-e2e: no $dnd (a build without tests): the desktop part is left out"
  step "passed"
  exit 0
fi

# The desktop's program for text files: a stand-in that appends a line,
# found by xdg-open through mimeapps.list.
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications" "$HOME/bin"
cat > "$HOME/bin/e2e-editor" <<'EDITOR'
#!/bin/sh
printf 'appended by the stand-in\n' >> "$1"
EDITOR
chmod +x "$HOME/bin/e2e-editor"
printf '[Desktop Entry]\nType=Application\nName=E2E Editor\nExec=%s %%f\nMimeType=text/plain;\n' \
  "$HOME/bin/e2e-editor" > "$XDG_DATA_HOME/applications/e2e-editor.desktop"
printf '[Default Applications]\ntext/plain=e2e-editor.desktop\n' > "$XDG_CONFIG_HOME/mimeapps.list"
# The private folder of opened and dragged members is made here.
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"
private() { find "$TMPDIR" -maxdepth 1 -name 'fernpack-*' | head -n 1; }

desk=$work/desk
mkdir -p "$desk/drop/sub" "$desk/dropped" "$desk/other"
printf 'dropped on the window\n' > "$desk/drop/one.txt"
printf 'in a dropped folder\n' > "$desk/drop/sub/two.txt"
seq 1 5000 > "$desk/drop/sub/three.txt"
printf 'the other archive\n' > "$desk/other/other.txt"
(cd "$desk/other" && zip -q "$desk/other.zip" other.txt)
# Dates a sort by Date/Time tells apart (one.txt changes today).
touch -d '2020-02-02 10:00' "$desk/drop/sub/two.txt"
touch -d '2021-03-03 11:00' "$desk/drop/sub/three.txt"

# Drags with the left button from x1 y1 in window $1 to x2 y2 in window $4,
# in small steps, as a hand does.
drag() {
  local from=$1 x1=$2 y1=$3 to=$4 x2=$5 y2=$6
  focus "$from"
  xdotool mousemove --window "$from" "$x1" "$y1" mousedown 1
  sleep 0.2
  for _ in 1 2 3 4 5 6; do xdotool mousemove_relative 3 3; sleep 0.05; done
  for _ in 1 2 3; do xdotool mousemove --window "$to" "$x2" "$y2"; sleep 0.2; xdotool mousemove_relative 2 2; sleep 0.2; done
  xdotool mouseup 1
  sleep 0.5
}
# Waits for a line in a file.
logged() { for _ in $(seq "$polls"); do grep -qx -- "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done; return 1; }
# The names the grid shows, in order (Ctrl+A, Ctrl+C in the grid).
names() {
  printf 'e2e: nothing copied' | xclip -selection clipboard -i >/dev/null 2>&1
  click "$main" "${first_row_at[@]}"
  xdotool key ctrl+a ctrl+c
  local text=''
  for _ in $(seq "$polls"); do
    text=$(xclip -o -selection clipboard 2>/dev/null) || true
    [[ $text != 'e2e: nothing copied' ]] && break
    sleep 0.1
  done
  printf '%s\n' "$text"
}
# The text of the question box $1 (Ctrl+C), then the key $2 answers it.
answer() {
  local box text
  box=$(window "$1") || fail "no $1 box"
  printf 'e2e: nothing copied' | xclip -selection clipboard -i >/dev/null 2>&1
  focus "$box"
  xdotool key ctrl+c
  for _ in $(seq "$polls"); do
    text=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r') || true
    [[ $text != 'e2e: nothing copied' ]] && break
    sleep 0.1
  done
  xdotool key "$2"
  gone "$box" || fail "the $1 box did not close"
  printf '%s\n' "$text"
}
# A window comes up on a key and goes with Escape.
key_opens() {
  local w
  focus "$main"
  xdotool key "$1"
  w=$(window "$2" "$main") || fail "$1 did not open $2"
  focus "$w"
  xdotool key Escape
  gone "$w" || fail "Escape left $2 open"
  step "key $1: $2"
}
first_row_at=(100 165)
second_row_at=(100 184)

cd "$desk"
"$bin/fernpack" >"$work/fernpack.log" 2>&1 &
pids+=($!)
fernpack=${pids[-1]}
main=$(window Fernpack) || fail "no main window"
sleep 1

step "files dropped with no archive open: the new archive's name first, then Add Files"
"$dnd" source "$desk/drop/one.txt" "$desk/drop/sub" >"$work/source.log" 2>&1 &
pids+=($!)
source_pid=${pids[-1]}
source=$(window "DnD Source") || fail "no drag source"
xdotool windowmove "$source" 980 50
sleep 0.5
drag "$source" 150 100 "$main" 300 300
dialog=$(window "Create New ZIP File") || fail "no New Zip question after the drop"
focus "$dialog"
xdotool type --delay 20 "$desk/desk.zip"   # (the folders hold dots)
xdotool key Return
dialog=$(window "Add Files") || fail "no Add Files after the drop"
focus "$dialog"
xdotool key Return
expect_box "3 files were added"
[[ $(unzip -Z1 "$desk/desk.zip" | sort | tr '\n' ' ') == 'one.txt three.txt two.txt ' ]] ||
  fail "the drop added $(unzip -Z1 "$desk/desk.zip" | tr '\n' ' ')"
kill "$source_pid" 2>/dev/null || true

step "Esc hides the messages window"
messages=$(window "Zip Messages") || fail "no messages window"
focus "$messages"
xdotool key Escape
gone "$messages" || fail "Esc left the messages window shown"

step "an archive dropped alone while one is open: Open"
"$dnd" source "$desk/other.zip" >"$work/source.log" 2>&1 &
pids+=($!)
source_pid=${pids[-1]}
source=$(window "DnD Source") || fail "no drag source"
xdotool windowmove "$source" 980 50
sleep 0.5
drag "$source" 150 100 "$main" 300 300
question=$(answer Confirm Return)
[[ $question == 'Open other.zip, or add it to desk.zip?'* ]] || fail "the question reads '$question'"
[[ $(names) == other.txt ]] || fail "other.zip was not opened"
kill "$source_pid" 2>/dev/null || true

step "Ctrl+O opens the last archive again"
focus "$main"
xdotool key ctrl+o
dialog=$(window "Open Existing ZIP File") || fail "Ctrl+O opened no dialog"
focus "$dialog"
xdotool type --delay 20 "$desk/desk.zip"
xdotool key Return
gone "$dialog" || fail "the open dialog stayed"
[[ $(names) == $'one.txt\nthree.txt\ntwo.txt' ]] || fail "desk.zip lists $(names | tr '\n' ' ')"

step "rows dragged out: nothing written until a drop is taken, then the members land there"
"$dnd" target "$desk/dropped" >"$work/target.log" 2>&1 &
pids+=($!)
target=$(window "DnD Target") || fail "no drop target"
xdotool windowmove "$target" 980 300
sleep 0.5
click "$main" "${first_row_at[@]}"
drag "$main" "${first_row_at[@]}" "$main" 300 60   # let go on our own band
[[ -z $(private) ]] || fail "a drag let go on the window wrote $(private)"
click "$main" "${first_row_at[@]}"
xdotool key ctrl+a
drag "$main" "${first_row_at[@]}" "$target" 150 100
logged "$work/target.log" "dropped 3" || fail "the target got: $(cat "$work/target.log")"
for f in one.txt sub/two.txt sub/three.txt; do
  cmp -s "$desk/drop/$f" "$desk/dropped/$(basename "$f")" || fail "dropped/$(basename "$f") differs"
done
[[ -n $(private) && $(stat -c %a "$(private)") == 700 ]] || fail "no private folder of mode 0700"
messages=$(window "Zip Messages") || fail "the drop's extract did not report"
focus "$messages"; xdotool key Escape

step "a double click opens a member with the desktop's program; its change is put back after Yes"
xdotool mousemove --window "$main" "${first_row_at[@]}" click --repeat 2 --delay 80 1
question=$(answer Confirm Return)
[[ $question == 'one.txt was changed. Update it in desk.zip?' ]] || fail "the question reads '$question'"
expect_box "1 file was added"
[[ $(unzip -p "$desk/desk.zip" one.txt) == $'dropped on the window\nappended by the stand-in' ]] ||
  fail "one.txt in the archive: $(unzip -p "$desk/desk.zip" one.txt)"

step "Enter opens it again; No keeps the archive as it is"
before=$(sha256sum < "$desk/desk.zip")
click "$main" "${first_row_at[@]}"
xdotool key Return
question=$(answer Confirm Escape)
[[ $question == 'one.txt was changed.'* ]] || fail "the question reads '$question'"
sleep 0.5
[[ $(sha256sum < "$desk/desk.zip") == "$before" ]] || fail "No changed the archive"

step "the rows' menu: Copy Name, Test, Properties"
rightclick() { focus "$main"; xdotool mousemove --window "$main" "${second_row_at[@]}" click 3; sleep 0.5; }
printf 'e2e: nothing copied' | xclip -selection clipboard -i >/dev/null 2>&1
rightclick
xdotool key c
sleep 0.3
[[ $(xclip -o -selection clipboard) == three.txt ]] || fail "Copy Name copied '$(xclip -o -selection clipboard)'"
rightclick
xdotool key t
expect_box "All 3 files tested OK"
rightclick
xdotool key r
dialog=$(window "Archive Properties") || fail "Properties showed nothing"
focus "$dialog"; xdotool key Escape
gone "$dialog" || fail "Escape left the properties shown"

step "keys"
key_opens ctrl+o "Open Existing ZIP File"
key_opens ctrl+n "Create New ZIP File"
key_opens ctrl+e "Select Extract Directory"
key_opens alt+Return "Archive Properties"
key_opens alt+b About
before=$(sha256sum < "$desk/desk.zip")
click "$main" "${first_row_at[@]}"
xdotool key Delete
question=$(answer Confirm Escape)
[[ $question == "Delete selected files from: $desk/desk.zip?" ]] || fail "Delete asked '$question'"
focus "$main"
xdotool key alt+r
question=$(answer Confirm Escape)
[[ $question == "Are you sure you want to delete: $desk/desk.zip?" ]] || fail "Alt+R asked '$question'"
[[ $(sha256sum < "$desk/desk.zip") == "$before" ]] || fail "No changed the archive"
# Sorts: each press reverses, whichever column (the last was ascending).
sorted() { focus "$main"; xdotool key "$1"; sleep 0.3; names | tr '\n' ' '; }
[[ $(sorted ctrl+3) == 'three.txt one.txt two.txt ' ]] || fail "Ctrl+3 (descending): $(names | tr '\n' ' ')"
[[ $(sorted ctrl+3) == 'two.txt one.txt three.txt ' ]] || fail "Ctrl+3 again: $(names | tr '\n' ' ')"
[[ $(sorted ctrl+2) == 'three.txt '* ]] || fail "Ctrl+2 (descending): $(names | tr '\n' ' ')"
[[ $(sorted ctrl+4) == 'two.txt three.txt one.txt ' ]] || fail "Ctrl+4 (ascending): $(names | tr '\n' ' ')"
[[ $(sorted ctrl+1) == 'two.txt three.txt one.txt ' ]] || fail "Ctrl+1 (descending): $(names | tr '\n' ' ')"
[[ $(sorted ctrl+1) == 'one.txt three.txt two.txt ' ]] || fail "Ctrl+1 again: $(names | tr '\n' ' ')"
step "keys: Delete, Alt+R, Ctrl+1 to Ctrl+4, Ctrl+A, Ctrl+C"

step "F5 lists the archive again"
(cd "$desk/other" && zip -q "$desk/desk.zip" other.txt)
focus "$main"
xdotool key F5
sleep 0.5
[[ $(names | tr '\n' ' ') == 'one.txt other.txt three.txt two.txt ' ]] || fail "after F5: $(names | tr '\n' ' ')"

step "Find: Ctrl+F, a text, Enter to the rows; Esc shows every row again"
focus "$main"
xdotool key ctrl+f
sleep 0.3
xdotool type --delay 20 'tw'
xdotool key Return
printf 'e2e: nothing copied' | xclip -selection clipboard -i >/dev/null 2>&1
xdotool key ctrl+a ctrl+c
sleep 0.3
[[ $(xclip -o -selection clipboard) == two.txt ]] || fail "Find showed '$(xclip -o -selection clipboard)'"
xdotool key Escape
sleep 0.3
[[ $(names | tr '\n' ' ') == 'one.txt other.txt three.txt two.txt ' ]] || fail "after Esc: $(names | tr '\n' ' ')"

step "Add Files: Tab reaches the list, Delete removes from it"
focus "$main"
xdotool key alt+a
dialog=$(window "Add Files") || fail "no Add Files dialog"
click "$dialog" "${select_all_at[@]}"
click "$dialog" "${add_file_at[@]}"          # desk.zip and other.zip; the focus on Add File
focus "$dialog"
xdotool key Tab Tab Tab Tab Tab   # Remove, DO IT NOW, Cancel, Sort, the list
xdotool key End Home Delete          # the first entry chosen, and removed
sleep 0.3
xdotool key Return
expect_box "1 file was added"
unzip -Z1 "$desk/desk.zip" | grep -qx other.zip || fail "other.zip was not added"

step "exit: the private folder goes"
click "$main" "${exit_at[@]}"
for _ in $(seq "$polls"); do kill -0 "$fernpack" 2>/dev/null || break; sleep 0.1; done
kill -0 "$fernpack" 2>/dev/null && fail "Exit did not end the program"
wait "$fernpack" || fail "fernpack ended with status $?"
[[ -z $(private) ]] || fail "$(private) is still there"

step "a file manager's Compress with Fernpack: the new archive's name, then Add Files"
compress=$(sed -n 's/^Exec=//p' "$repo/packaging/fernpack-compress.desktop")
[[ $compress == 'fernpack --add %F' ]] || fail "Compress runs '$compress'"
(cd "$desk" && exec "$bin/fernpack" --add "$desk/drop/one.txt" "$desk/drop/sub" >"$work/fernpack.log" 2>&1) &
pids+=($!)
fernpack=${pids[-1]}
main=$(window Fernpack) || fail "no main window"
dialog=$(window "Create New ZIP File") || fail "no New Zip question"
focus "$dialog"
xdotool type --delay 20 "$desk/compressed.zip"
xdotool key Return
dialog=$(window "Add Files") || fail "no Add Files"
focus "$dialog"
xdotool key Return
expect_box "3 files were added"
[[ $(unzip -Z1 "$desk/compressed.zip" | sort | tr '\n' ' ') == 'one.txt three.txt two.txt ' ]] ||
  fail "compressed.zip holds $(unzip -Z1 "$desk/compressed.zip" | tr '\n' ' ')"
click "$main" "${exit_at[@]}"
for _ in $(seq "$polls"); do kill -0 "$fernpack" 2>/dev/null || break; sleep 0.1; done
wait "$fernpack" || fail "fernpack ended with status $?"
step "passed"
