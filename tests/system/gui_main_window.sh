#!/usr/bin/env bash
# The real program under X, driven as a user would with xdotool: shortcuts, menus by
# their mnemonics, a file chooser, the question box and the close box. Checks the
# project file and TW4.INI it writes, and keeps screenshots (the window, each menu open,
# a run's log) in BINARY_DIR/screenshots.
# Arguments: the program, the source folder, the build folder (which holds wm_delete).
set -u
. "$(dirname "$0")/gui.sh"

P="$work/proj/demo.pbm"
printf '[FILES]\r\n/src/a.pb\r\n/src/b.pb\r\n\r\n[SWITCH]\r\nParend=0;\r\nMultilang = 1\r\n\r\n[WINDOW]\r\nWindow_0\r\n' > "$P"

# 1. Start with the project on the command line; Ctrl+S writes it in the program's layout
# (a switch written with blanks around "=" is read, as in TW4.INI).
start demo.pbm
check "UserList.INI created" "[USERGADGET]" "$(cat "$work/bin/UserList.INI")"
shot main "$main"
check "screenshot size" "800x600" "$(identify -format '%wx%h' "$SHOTS/main.png" 2>/dev/null)"
# Each menu open in turn (the File menu with its Preferences submenu): together they show
# all twelve icons. Menus are windows of their own, so the screen is cut to the window.
eval "$(xdotool getwindowgeometry --shell "$main")"
menu_shot() {  # name, keys that open the menu
  local name=$1; shift
  keys "$main" "$@"; sleep 0.4
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$SHOTS/$name.png"
  xdotool key Escape Escape; sleep 0.2
}
menu_shot menu_file alt+f Down Down Down Down Right
menu_shot menu_action alt+a
menu_shot menu_help alt+question
check "menu screenshots" "800x600 800x600 800x600" "$(cd "$SHOTS" && identify -format '%wx%h ' menu_file.png menu_action.png menu_help.png 2>/dev/null | sed 's/ $//')"
keys "$main" ctrl+s
# (cat drops the final empty line and line end, so they are left out here.)
layout=$'[FILES]\n/src/a.pb\n/src/b.pb\n\n[SWITCH]\nParend=0\nPB_Ignore=1\nMultilang=1\nImage_Include=0\nImage_Null=0\nUseCallFast=1\nUtf8=1\n\n[WINDOW]\nWindow_0\n\n[MENU]\n\n[MENUITEM]\n\n[STATUSBAR]\n\n[TOOLBAR]\n\n[GADGET]'
wait_file "$P" "$layout"; check "Ctrl+S saves the project" "$layout" "$(cat "$P")"
check "TW4.INI not written before exit" "no" "$([ -e "$work/bin/TW4.INI" ] && echo yes || echo no)"

# 2. Remove a row with the menu (Alt+A, D), then the close box: answering No quits unsaved.
click_file
keys "$main" alt+a d
"$WM_DELETE" "$main"
q=$(win "Frage")
check "close box asks" "yes" "$([ -n "$q" ] && echo yes || echo no)"
[ -n "$q" ] && keys "$q" alt+n
ended; check "exit status after No" "0" "$rc"
check "project unchanged after No" "$layout" "$(cat "$P")"
ini=$'\xEF\xBB\xBF[Path]\nLast = \nProject = '"$P"$'\n[Default]\nParend = 0\nPB_Ignore = 1\nMultilang = 1\nImage_Include = 0\nImage_Null = 0\nUseCallFast = 1\nUtf8 = 1\n[Recent]\nProject1 = '"$P"$'\nProject2 = \nProject3 = \nProject4 = \nProject5 = '
check "TW4.INI after the first exit" "$ini" "$(cat "$work/bin/TW4.INI")"

# 3. Start without arguments: the remembered project opens. Remove a row, answer Yes.
start
click_file
keys "$main" alt+a d
shot after_delete "$main"
"$WM_DELETE" "$main"
q=$(win "Frage")
[ -n "$q" ] && keys "$q" alt+y
ended; check "exit status after Yes" "0" "$rc"
check "remembered project saved without its first row" "$(printf '%s' "$layout" | sed '2d')" "$(cat "$P")"

# 4. Ctrl+N, then load the project through the menu and the file chooser.
start
keys "$main" ctrl+n
keys "$main" alt+f l
choose_path "$(win "Load project")" "$P"
sleep 0.5
"$WM_DELETE" "$main"
ended; check "exit without changes asks nothing" "0" "$rc"
check "loaded project remembered" "Project = $P" "$(grep '^Project =' "$work/bin/TW4.INI")"
check "last folder remembered" "Last = $work/proj/" "$(grep '^Last' "$work/bin/TW4.INI")"

# 4b. A folder without a project on the command line is an error, and the window starts
# with a new project rather than the remembered one.
mkdir -p "$work/noproject"
launch "$work/noproject"  # the box comes before the window has its title
box=$(win "Load project")
check "a folder without a project: error box" "yes" "$([ -n "$box" ] && echo yes || echo no)"
[ -n "$box" ] && keys "$box" Return
main=$(main_win)
wait_title "Unbekannt.pbm - $TITLE"; check "a folder without a project: new project" "Unbekannt.pbm - $TITLE" "$(title)"
"$WM_DELETE" "$main"
ended; check "exit after the folder without a project" "0" "$rc"

# 5. Ctrl+N alone: the next start knows no project.
start
keys "$main" ctrl+n
"$WM_DELETE" "$main"
ended; check "exit after Ctrl+N" "0" "$rc"
check "new project remembered" "Project = Unbekannt.pbm" "$(grep '^Project =' "$work/bin/TW4.INI")"

# 6. A run from the "Start Generate" dialog reports its steps in the log.
P2="$work/proj/empty.pbm"
printf '[FILES]\n\n[SWITCH]\n' > "$P2"
start empty.pbm
keys "$main" alt+a s
dlg=$(win "Start Generate")
check "start dialog opens" "yes" "$([ -n "$dlg" ] && echo yes || echo no)"
if [ -n "$dlg" ]; then
  xdotool mousemove --window "$dlg" 70 175 click 1
  sleep 1
fi
check "dialog closed by the run" "" "$(xdotool search --onlyvisible --name '^Start Generate$' 2>/dev/null)"
shot run "$main"
"$WM_DELETE" "$main"
ended; check "exit after the run" "0" "$rc"

check "GTK stayed quiet" "" "$(grep -E 'WARNING|CRITICAL' "$work/app.err")"
finish
