#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks what an installed Fernpack tree gives file managers, and runs the
# commands they hold with ROOT/bin first on the PATH, as a file manager
# would find the installed programs:
#   - Dolphin's service menus (share/kio/servicemenus): valid entries
#     (desktop-file-validate knows only applications' keys, so each is
#     checked as one, its type checked apart), "Extract Here" extracting
#     beside the archive, "Compress with Fernpack" starting the program
#     with its files to add;
#   - the script of Thunar's archive plugin (libexec/thunar-archive-plugin/
#     fernpack.tap): extract-here as Dolphin's, create as Compress, and an
#     unknown action refused.
# The program's windows themselves are driven by scripts/gui-e2e.sh.
#
#   file_managers.sh ROOT
set -euo pipefail

root=$(cd "$1" && pwd)
fail() { echo "FAILED: $*" >&2; exit 1; }
menus=$root/share/kio/servicemenus
tap=$root/libexec/thunar-archive-plugin/fernpack.tap
export PATH="$root/bin:$PATH"

work=$(mktemp -d "${TMPDIR:-/tmp}/fernpack-file-managers.XXXXXX")
trap 'rm -rf "$work"' EXIT

# --- The files --------------------------------------------------------------
[[ -x $tap && $(head -n 1 "$tap") == '#!/bin/sh' ]] || fail "fernpack.tap is missing or no executable script"
sh -n "$tap" || fail "fernpack.tap does not parse"
for menu in "$menus/fernpack-extract-here.desktop" "$menus/fernpack-compress.desktop"; do
  [[ -f $menu ]] || fail "$menu is missing"
  grep -qx 'Type=Service' "$menu" || fail "$menu is no service menu"
  sed 's/^Type=Service$/Type=Application/' "$menu" > "$work/as-application.desktop"
  desktop-file-validate "$work/as-application.desktop" || fail "$menu is not a valid entry"
done
# The command of the action named $2 in service menu $1.
command_of() {
  awk -v group="[Desktop Action $2]" '
    /^\[/ { inside = ($0 == group) }
    inside && /^Exec=/ { sub(/^Exec=/, ""); print; exit }' "$1"
}
# Runs a desktop entry's command with %f / %F replaced by the files after it.
run_entry_command() {
  local command=$1 word args=()
  shift
  for word in $command; do
    case $word in
      %f) args+=("$1") ;;
      %F) args+=("$@") ;;
      *) args+=("$word") ;;
    esac
  done
  "${args[@]}"
}

# --- Archives to extract ------------------------------------------------------
mkdir -p "$work/src/docs" "$work/here" "$work/elsewhere"
printf 'one\n' > "$work/src/docs/one.txt"
printf 'two\n' > "$work/src/two.txt"
(cd "$work/src" && fernpack-cli -q add "$work/here/loose.zip" docs two.txt)
(cd "$work/src" && fernpack-cli -q add "$work/here/folder.zip" docs)

# --- Dolphin: Extract Here ----------------------------------------------------
extract=$(command_of "$menus/fernpack-extract-here.desktop" fernpackExtractHere)
[[ $extract == *%f* ]] || fail "Extract Here names no file: $extract"
(cd "$work/elsewhere" && run_entry_command "$extract" "$work/here/loose.zip" >/dev/null) ||
  fail "Extract Here failed on loose.zip"
[[ $(cat "$work/here/loose/docs/one.txt" "$work/here/loose/two.txt") == $'one\ntwo' ]] ||
  fail "loose.zip was not extracted into a folder of its own"
(cd "$work/elsewhere" && run_entry_command "$extract" "$work/here/folder.zip" >/dev/null) ||
  fail "Extract Here failed on folder.zip"
[[ $(cat "$work/here/docs/one.txt") == one ]] || fail "folder.zip was not extracted beside it"
[[ -z $(ls -A "$work/elsewhere") ]] || fail "Extract Here wrote into the current folder"

# --- Thunar: extract-here, and an action it does not know ---------------------
rm -rf "$work/here/loose" "$work/here/docs"
"$tap" extract-here "$work/here" "$work/here/loose.zip" "$work/here/folder.zip" >/dev/null ||
  fail "fernpack.tap extract-here failed"
[[ -f $work/here/loose/two.txt && -f $work/here/docs/one.txt ]] || fail "fernpack.tap extract-here extracted nothing"
if "$tap" make-coffee "$work/here" "$work/here/loose.zip" 2>/dev/null; then
  fail "fernpack.tap took an unknown action"
fi

# --- Compress with Fernpack / create: the program starts, waiting for the
# new archive's name. (Offscreen nobody answers: it is stopped.)
compress=$(command_of "$menus/fernpack-compress.desktop" fernpackCompress)
[[ $compress == 'fernpack --add %F' ]] || fail "Compress with Fernpack runs '$compress'"
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 XDG_CONFIG_HOME=$work/config
for how in menu tap; do
  status=0
  if [[ $how == menu ]]; then
    run_entry_command "timeout 5 $compress" "$work/src/two.txt" "$work/src/docs" >/dev/null 2>&1 || status=$?
  else
    timeout 5 "$tap" create "$work/src" "$work/src/two.txt" >/dev/null 2>&1 || status=$?
  fi
  [[ $status == 124 ]] || fail "the $how's compress command ended (status $status) instead of asking"
done
echo "file managers: service menus, Thunar's script and their commands are fine"
