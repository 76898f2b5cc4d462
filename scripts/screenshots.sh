#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Pictures of Fernpack's windows, taken from the real program on a virtual
# X display (Xvfb), driven with xdotool and captured with ImageMagick, under
# four looks, each in a folder of its own:
#   default/     the toolkit's own style
#   dark/        a dark style: Adwaita-Dark (adwaita-qt6), or without it
#                Fusion in qt6ct's dark colours
#   large-font/  the desktop's font 1.5 times the default (13.5 points, set
#                through qt6ct)
#   scale-2/     the whole screen scaled by 2 (QT_SCALE_FACTOR=2)
# Each folder holds:
#   main-window.png           an archive open (default: sorted by "Compr Size")
#   add-dialog.png            the Add Files dialog with a list of files and a folder
#   extract-dialog.png        the Select Extract Directory dialog
#   sfx-dialog.png            the Make Self Extracting Archive dialog
#   messages-during-add.png   the messages window halfway through a real add
#   messages-after-add.png    the same window once the add is done
#   main-window-after-add.png the main window listing what was added
# and default/ also:
#   long-name-hint.png        an archive with a long path, its name's hint shown
#   about.png                 the About box
#   password-prompt.png       the password question of an encrypted add
#   rows-menu.png             the menu on the grid's rows
#   find.png                  Find showing a part of the listing
#   update-question.png       the question after a member opened with the
#                             desktop's program (a stand-in here) changed
# A look whose tools are missing is left out, with a line saying so.
#
#   scripts/screenshots.sh [--update-docs] [LOCALE] [BUILD_DIR] [OUT_DIR]
# BUILD_DIR defaults to build/release, OUT_DIR to build/screenshots;
# --update-docs also copies the main window of each look to docs/ for the
# README. With a LOCALE (de_DE.UTF-8, fr_FR.UTF-8, es_ES.UTF-8) the program
# runs in that language and the pictures of the default look go to
# OUT_DIR/<language>/ (de/, fr/, es/), with the properties box as well.
set -euo pipefail
cd "$(dirname "$0")/.."

update_docs=0
if [[ ${1:-} == --update-docs ]]; then update_docs=1; shift; fi
locale=
if [[ ${1:-} =~ ^[a-z][a-z]_[A-Z][A-Z] ]]; then locale=$1; shift; fi
build=${1:-build/release}
out=${2:-build/screenshots}

# The windows' names and the keys that reach them, in the pictures'
# language (the translations' accelerators).
t_add="Add Files" t_extract="Select Extract Directory" t_sfx="Make Self Extracting Archive"
t_about="About" t_password="Password" t_confirm="Confirm" t_properties="Archive Properties"
k_add=alt+a k_extract=alt+e k_addfile=alt+a k_adddir=alt+d
case $locale in
  de*) t_add="Dateien hinzufügen" t_extract="Zielordner zum Entpacken wählen"
       t_sfx="Selbstentpackendes Programm erstellen" t_about="Über" t_password="Passwort" t_confirm="Bestätigen"
       t_properties="Eigenschaften des Archivs" k_add=alt+h k_addfile=alt+d k_adddir=alt+o ;;
  fr*) t_add="Ajouter des fichiers" t_extract="Choisir le dossier d'extraction"
       t_sfx="Créer un programme auto-extractible" t_about="À propos" t_password="Mot de passe"
       t_confirm="Confirmer" t_properties="Propriétés de l'archive" k_adddir=alt+d ;;
  es*) t_add="Añadir ficheros" t_extract="Elegir la carpeta de extracción" t_sfx="Crear un programa autoextraíble"
       t_about="Acerca de" t_password="Contraseña" t_confirm="Confirmar" t_properties="Propiedades del archivo"
       k_add=alt+z k_adddir=alt+c ;;
  "") ;;
  *) echo "screenshots: no translation for $locale" >&2; exit 2 ;;
esac
bin=$(cd "$build" && pwd)/bin
cmake --build "$build" --target fernpack fernpack-add-shots >/dev/null
# The tools here read the windows' names in UTF-8; the program gets the
# pictures' language (English, today's texts, without one), whether or not
# the system has that locale installed.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset LANGUAGE LC_MESSAGES
app_env=
if [[ -n $locale ]]; then
  out=$out/${locale%%_*}
  app_env="LANG=$locale LC_ALL=$locale"
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
# A program of a sanitizer build ends without counting Qt's own leftovers.
export ASAN_OPTIONS=detect_leaks=0

# A fixed place, so the pictures show the same paths every time.
work=${TMPDIR:-/tmp}/fernpack-screenshots
rm -rf "$work" && mkdir -p "$work"
# The archives opened last are kept here, not in the user's settings; the
# desktop's program for text files is a stand-in that appends a line.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications"
printf '#!/bin/sh\nprintf "changed by the desktop program\\n" >> "$1"\n' > "$work/stand-in"
chmod +x "$work/stand-in"
# (file(1) takes a text with a comma on every line for CSV.)
printf '[Desktop Entry]\nType=Application\nName=Stand-in\nExec=%s %%f\nMimeType=text/plain;text/csv;\n' \
  "$work/stand-in" > "$XDG_DATA_HOME/applications/stand-in.desktop"
printf '[Default Applications]\ntext/plain=stand-in.desktop\ntext/csv=stand-in.desktop\n' > "$XDG_CONFIG_HOME/mimeapps.list"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A free display number; large enough for the windows at scale 2. The
# server is not to reset when its last client leaves between two looks: a
# program starting during that reset cannot connect, and Qt aborts.
display=90
while [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 2560x1800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR
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
# What the messages window pictures add: large enough to be halfway.
scans=$work/scans
mkdir -p "$scans"
for i in 1 2 3 4 5 6; do
  { head -c 1500000 /dev/urandom; lines 60000 "measurement $i: the fronds unroll"; } > "$scans/scan-$i.tif"
done

# Waits (up to a minute) for a window whose name is exactly $1 and prints
# its id.
window() {
  local w
  for _ in $(seq 600); do
    # Compared here, not as xdotool's pattern: its patterns miss names
    # with letters beyond ASCII (Über, À propos).
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
      [[ $(xdotool getwindowname "$w" 2>/dev/null) == "$1" ]] && { echo "$w"; return 0; }
    done
    sleep 0.1
  done
  echo "screenshots: no window named '$1'" >&2
  exit 1
}
# No window manager here: raise and focus a window by hand.
press() { xdotool windowraise "$1"; xdotool windowfocus --sync "$1"; sleep 0.3; }
clickat() { press "$1"; xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.4; }
keys() { press "$1"; shift; xdotool key "$@"; sleep 0.6; }

# The looks: each line sets the environment of its pictures.
qt6ct_config() {  # $1: folder, $2: colour scheme or "", $3: font size in points
  mkdir -p "$1/qt6ct"
  {
    echo '[Appearance]'
    echo 'style=Fusion'
    if [[ -n $2 ]]; then echo 'custom_palette=true'; echo "color_scheme_path=$2"; else echo 'custom_palette=false'; fi
    echo '[Fonts]'
    echo "general=\"Sans Serif,$3,-1,5,50,0,0,0,0,0\""
    echo "fixed=\"Monospace,$3,-1,5,50,0,0,0,0,0\""
  } > "$1/qt6ct/qt6ct.conf"
}
qt_plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
have_qt6ct=0
[[ -e $qt_plugins/platformthemes/libqt6ct.so ]] && have_qt6ct=1
declare -A look_env
look_env[default]=""
if [[ -e $qt_plugins/styles/adwaita.so ]]; then
  look_env[dark]="QT_STYLE_OVERRIDE=Adwaita-Dark"
elif ((have_qt6ct)); then
  qt6ct_config "$work/config-dark" /usr/share/qt6ct/colors/darker.conf 9
  look_env[dark]="QT_QPA_PLATFORMTHEME=qt6ct XDG_CONFIG_HOME=$work/config-dark"
else
  echo "screenshots: no dark style (adwaita-qt6 or qt6ct); dark/ left out" >&2
fi
if ((have_qt6ct)); then
  qt6ct_config "$work/config-large" "" 13.5
  look_env[large-font]="QT_QPA_PLATFORMTHEME=qt6ct XDG_CONFIG_HOME=$work/config-large"
else
  echo "screenshots: no qt6ct to set the desktop font; large-font/ left out" >&2
fi
look_env[scale-2]="QT_SCALE_FACTOR=2"

# Starts fernpack in folder $1 on archive $2 under the look's environment.
start() {
  (cd "$1" && exec env ${look_env[$look]} $app_env "$bin/fernpack" "$2" >/dev/null 2>&1) &
  pids+=($!)
  main=$(window Fernpack)
  sleep 1.5
}
stop() { kill "${pids[-1]}" 2>/dev/null || true; sleep 0.3; }

looks=(default dark large-font scale-2)
[[ -n $locale ]] && looks=(default)
for look in "${looks[@]}"; do
  [[ -v look_env[$look] ]] || continue
  shots=$out/$look
  mkdir -p "$shots"
  echo "screenshots: $look"

  # The dialogs, through the keyboard: the pictures do not depend on where
  # a look puts the buttons. The Add dialog's file list has the keys.
  start "$src/docs" "$work/project.zip"
  keys "$main" $k_add
  dialog=$(window "$t_add")
  keys "$dialog" ctrl+a
  keys "$dialog" $k_addfile            # Add File ==>
  keys "$dialog" $k_adddir             # Add Dir ==>
  import -window "$dialog" "$shots/add-dialog.png"
  keys "$dialog" Escape
  keys "$main" $k_extract
  dialog=$(window "$t_extract")
  sleep 0.3
  import -window "$dialog" "$shots/extract-dialog.png"
  keys "$dialog" Escape
  # Convert's caption has no accelerator once an archive is listed; the
  # focus is still on Open Zip, six buttons before it.
  keys "$main" Tab Tab Tab Tab Tab Tab space
  dialog=$(window "$t_sfx")
  sleep 0.3
  import -window "$dialog" "$shots/sfx-dialog.png"
  keys "$dialog" Escape

  # The main window; in the default look sorted by "Compr Size" (the first
  # click sorts descending).
  press "$main"
  if [[ $look == default ]]; then
    xdotool mousemove --window "$main" 358 146 click 1
    sleep 0.5
    xdotool mousemove --window "$main" 600 420
    sleep 0.5
  fi
  import -window "$main" "$shots/main-window.png"
  stop

  # The messages window during and after a real add through the libraries.
  env ${look_env[$look]} $app_env "$bin/fernpack-add-shots" "$shots" "$scans" "$work/added-$look.zip" >/dev/null
done

# Default look only: the About box, a long archive name and its hint, and
# the password question of an encrypted add.
look=default
shots=$out/default
start "$src/docs" "$work/project.zip"
clickat "$main" 582 21                 # About
about=$(window "$t_about")
sleep 0.5
import -window "$about" "$shots/about.png"
press "$about"; xdotool key Escape
sleep 0.3
press "$main"
xdotool key alt+Return                 # the archive's properties
properties=$(window "$t_properties")
sleep 0.5
import -window "$properties" "$shots/properties.png"
press "$properties"; xdotool key Escape
sleep 0.3
stop

long=$work/archives-kept-for-the-annual-report-of-the-fern-society/drafts-and-final-versions
mkdir -p "$long"
cp "$work/project.zip" "$long/fern-society-annual-report-2024.zip"
start "$src" "$long/fern-society-annual-report-2024.zip"
press "$main"
xdotool mousemove --window "$main" 300 110
sleep 0.2
xdotool mousemove --window "$main" 302 111
sleep 2
eval "$(xdotool getwindowgeometry --shell "$main")"
# The hint may reach beyond the window: take the screen's band, cut the
# empty (black) screen away.
import -window root -crop "2560x$((HEIGHT / 2))+0+${Y}" +repage -trim +repage "$shots/long-name-hint.png"
stop

start "$src/docs" "$work/project.zip"
keys "$main" $k_add
dialog=$(window "$t_add")
clickat "$dialog" 83 132               # Select All Files
clickat "$dialog" 223 172              # Add File ==>
clickat "$dialog" 220 90               # Encrypt Files
press "$dialog"; xdotool key Return    # DO IT NOW: the password is asked for
prompt=$(window "$t_password")
press "$prompt"; xdotool type --delay 40 'fronds'
sleep 0.5
import -window "$prompt" "$shots/password-prompt.png"
xdotool key Escape
sleep 0.3
stop

# The rows' menu, Find, and the update question.
start "$src/docs" "$work/project.zip"
eval "$(xdotool getwindowgeometry --shell "$main")"
clickat "$main" 100 184                # the second row
xdotool click 3
sleep 0.6
import -window root -crop "$((WIDTH + 40))x$((HEIGHT + 40))+$((X - 20))+$((Y - 20))" +repage "$shots/rows-menu.png"
xdotool key Escape
keys "$main" ctrl+f
xdotool type --delay 40 'txt'
sleep 0.6
import -window "$main" "$shots/find.png"
xdotool key Return                     # to the rows
sleep 0.3
xdotool key Return                     # open the first
question=$(window "$t_confirm")
sleep 0.5
import -window "$question" "$shots/update-question.png"
press "$question"; xdotool key Escape
sleep 0.3
stop

if ((update_docs)) && [[ -z $locale ]]; then
  mkdir -p docs
  cp "$out/default/main-window.png" docs/main-window.png
  [[ -e $out/dark/main-window.png ]] && cp "$out/dark/main-window.png" docs/main-window-dark.png
  [[ -e $out/large-font/sfx-dialog.png ]] && cp "$out/large-font/sfx-dialog.png" docs/sfx-dialog-large-font.png
  cp "$out/scale-2/main-window.png" docs/main-window-scale-2.png
fi
find "$out" -name '*.png' | sort
