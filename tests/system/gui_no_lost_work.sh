#!/usr/bin/env bash
# The faults a new user meets, driven as that user would with xdotool: an empty project
# is told about instead of saved, Escape on the save question keeps everything, Escape
# closes every dialog as its close box does, Return starts a run, the title shows the
# project and its changes, Delete removes a file, a generated file is refused, and the
# File menu reopens a recent project. Keeps a screenshot of each dialog in
# BINARY_DIR/screenshots.
# Arguments: the program, the source folder, the build folder (which holds wm_delete).
set -u
. "$(dirname "$0")/gui.sh"
yes_no() { [ -n "$1" ] && echo yes || echo no; }
# Opens a dialog with keys, keeps its screenshot, closes it with Escape.
escape_closes() {  # name for the screenshot, title, keys that open it
  local name=$1 t=$2; shift 2
  keys "$main" "$@"
  local w; w=$(win "$t")
  check "$t opens" "yes" "$(yes_no "$w")"
  [ -n "$w" ] || return
  sleep 0.3; shot "$name" "$w"
  keys "$w" Escape
  wait_gone "$t"; check "Escape closes $t" "yes" "$([ -z "$(xdotool search --onlyvisible --name "^$t\$" 2>/dev/null)" ] && echo yes || echo no)"
  check "program still runs after Escape in $t" "yes" "$(running)"
}

oneButtonProject "$work/proj"
P="$work/proj/demo.pbm"
# The previous run knew other names: the run asks which new names they have become.
printf '\n[WINDOW]\nWindow_Options_Popup_Details_Advanced\n' >> "$P"
cp "$P" "$work/demo.before"

# 1. A new, empty project: Ctrl+S and "Start Generate" say why nothing happens.
start
check "new project title" "Unbekannt.pbm - $TITLE" "$(title)"
escape_closes empty_project_message Info ctrl+s
keys "$main" F5
box=$(win Info)
check "Start Generate on an empty project explains" "yes" "$(yes_no "$box")"
[ -n "$box" ] && keys "$box" Return
check "no save dialog" "" "$(xdotool search --onlyvisible --name '^Save project$' 2>/dev/null)"
"$WM_DELETE" "$main"
ended; check "nothing to save: the exit asks nothing" "0" "$rc"

# 2. Every dialog: centred on the main window, closed by Escape.
start demo.pbm
check "title names the project" "demo.pbm - $TITLE" "$(title)"
eval "$(xdotool getwindowgeometry --shell "$main")"; mx=$X; my=$Y; mw=$WIDTH; mh=$HEIGHT
escape_closes start_generate "Start Generate" F5
# Each switch explains itself in a tooltip (a window of its own: the screen is cut around
# the dialog and below it).
keys "$main" F5
dlg=$(win "Start Generate")
if [ -n "$dlg" ]; then
  eval "$(xdotool getwindowgeometry --shell "$dlg")"
  xdotool mousemove --window "$dlg" 60 20; sleep 0.3; xdotool mousemove --window "$dlg" 62 21; sleep 1.2
  import -window root -crop "$((WIDTH + 200))x$((HEIGHT + 120))+$X+$Y" +repage "$SHOTS/start_generate_tooltip.png"
  keys "$dlg" Escape
  wait_gone "Start Generate"
fi
escape_closes user_gadget UserGadget alt+f p g
escape_closes licence Licence alt+question l
escape_closes info Info alt+question i
# Return on the first check box starts the run; its question about the vanished window
# name is the search-and-replace dialog, which Escape answers as its close box: Cancel.
keys "$main" F5
dlg=$(win "Start Generate")
[ -n "$dlg" ] && keys "$dlg" Return
sr=$(win "Search and Replace - Window")
check "Return starts the run, which asks" "yes" "$(yes_no "$sr")"
if [ -n "$sr" ]; then
  eval "$(xdotool getwindowgeometry --shell "$sr")"
  # As wide as its names need, it may be wider than the main window: the screen's left
  # edge then holds it.
  cx=$((mx + mw / 2)); [ "$cx" -lt $((WIDTH / 2)) ] && cx=$((WIDTH / 2))
  check "search and replace centred on the main window" "$cx $((my + mh / 2))" \
    "$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
  sleep 0.3; shot search_replace "$sr"
  # A name too long for its list shows in full as the pointer rests on it.
  xdotool mousemove --window "$sr" 60 65; sleep 0.3; xdotool mousemove --window "$sr" 62 66; sleep 1.2
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$SHOTS/search_replace_tooltip.png"
  keys "$sr" Escape
  wait_gone "Search and Replace - Window"
fi
sleep 0.5
check "cancelled run wrote nothing" "no" "$([ -e "$work/proj/EventGadget.pb" ] && echo yes || echo no)"
check "project file kept" "$(cat "$work/demo.before")" "$(cat "$P")"
# The log's context menu (a window of its own: the screen is cut to the main window).
xdotool mousemove --window "$main" 300 400 click 3; sleep 0.4
import -window root -crop "${mw}x${mh}+${mx}+${my}" +repage "$SHOTS/log_menu.png"
xdotool key Escape; sleep 0.2

# 3. Delete marks the title; a generated file is refused; Escape on the save question
# keeps the program and the change.
click_file 0
keys "$main" Delete
wait_title "demo.pbm* - $TITLE"; check "Delete marks the project modified" "demo.pbm* - $TITLE" "$(title)"
: > "$work/proj/Main.pb"
keys "$main" Insert
chooser=$(win Commonfile)
choose_path "$chooser" "$work/proj/Main.pb"
refused=$(win_other Commonfile "${chooser:-none}")  # the box that says why has the chooser's title
check "generated file refused with a box" "yes" "$(yes_no "$refused")"
if [ -n "$refused" ]; then sleep 0.3; shot refused_file "$refused"; keys "$refused" Return; fi
"$WM_DELETE" "$main"
q=$(win Frage)
check "close box asks" "yes" "$(yes_no "$q")"
if [ -n "$q" ]; then sleep 0.3; shot save_question "$q"; keys "$q" Escape; fi
sleep 0.5
check "Escape on the question keeps the program" "yes" "$(running)"
check "and the change" "demo.pbm* - $TITLE" "$(title)"
check "nothing saved" "$(cat "$work/demo.before")" "$(cat "$P")"
"$WM_DELETE" "$main"
q=$(win Frage)
[ -n "$q" ] && keys "$q" alt+n
ended; check "No quits" "0" "$rc"

# 4. The recent projects: the File menu opens the one before.
cp "$work/demo.before" "$work/proj/other.pbm"
start other.pbm
keys "$main" alt+f; sleep 0.4
import -window root -crop "${mw}x${mh}+${mx}+${my}" +repage "$SHOTS/menu_recent.png"
xdotool key 2
wait_title "demo.pbm - $TITLE"; check "recent project 2 opens" "demo.pbm - $TITLE" "$(title)"
"$WM_DELETE" "$main"
ended; check "exit" "0" "$rc"
check "recent projects kept" "Project1 = $P|Project2 = $work/proj/other.pbm" \
  "$(grep '^Project[12] ' "$work/bin/TW4.INI" | paste -sd'|')"

# 5. A project on the command line that cannot be opened: an error box, then a new
# project, not the remembered one. (The box comes before the window has its title.)
(cd "$work/proj" && XDG_DATA_HOME="$work/data" exec "$work/bin/tarnwick" typo.pbm) >>"$work/app.out" 2>>"$work/app.err" &
app_pid=$!
box=$(win "Load project")
check "an unknown project on the command line is told about" "yes" "$(yes_no "$box")"
if [ -n "$box" ]; then sleep 0.3; shot error_box "$box"; keys "$box" Return; fi
main=$(main_win)
wait_title "Unbekannt.pbm - $TITLE"; check "and the window starts with a new project" "Unbekannt.pbm - $TITLE" "$(title)"
# The name box of the UserGadget dialog labels its entry.
keys "$main" alt+f p g
ug=$(win UserGadget)
if [ -n "$ug" ]; then
  xdotool mousemove --window "$ug" 40 375 click 1
  add=$(win "Add Gadget")
  check "Add asks for a name" "yes" "$(yes_no "$add")"
  if [ -n "$add" ]; then sleep 0.3; shot add_gadget "$add"; keys "$add" Escape; wait_gone "Add Gadget"; fi
  keys "$ug" Escape
  wait_gone UserGadget
fi
# A new project with a file: Start Generate says why it is saved first; No opens nothing.
keys "$main" Insert
choose_path "$(win Commonfile)" "$work/proj/form.pb" && wait_gone Commonfile
keys "$main" F5
q=$(win "Start Generate")
check "Start Generate on a new project asks first" "yes" "$(yes_no "$q")"
if [ -n "$q" ]; then sleep 0.3; shot save_first_question "$q"; keys "$q" alt+n; wait_gone "Start Generate"; fi
check "No opens no save dialog" "" "$(xdotool search --onlyvisible --name '^Save project$' 2>/dev/null)"
"$WM_DELETE" "$main"
q=$(win Frage)
[ -n "$q" ] && keys "$q" alt+n
ended; check "exit" "0" "$rc"

check "GTK stayed quiet" "" "$(grep -E 'WARNING|CRITICAL' "$work/app.err")"
finish
