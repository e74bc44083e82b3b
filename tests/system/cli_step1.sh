#!/usr/bin/env bash
# Step 1 through the real program: loading and interpreting small form projects, the
# refusal of a window opened with #PB_Any into no variable, and duplicates that stop
# the run.
set -u
. "$(dirname "$0")/checks.sh"
startWork "$1"
# project NAME FILE...: a project file in $work/NAME listing the given form files.
project() {
  local dir="$work/$1"; shift
  mkdir -p "$dir"
  { echo "[FILES]"; for f in "$@"; do echo "$dir/$f"; done; printf '\n[SWITCH]\nUtf8=0\n'; } > "$dir/p.pbm"
}
run() { "$APP" --generate "$work/$1/p.pbm" --config-dir "$work/cfg"; echo "rc=$?"; }

# A designer file (CR LF) and an older form file with tabs.
project ok Main.pbf Other.pb
printf '%s\r\n' \
  '; Event procedures need(s) to be put in another source file.' \
  'Enumeration FormWindow' '  #Window_0' 'EndEnumeration' \
  'LoadImage(#Img_0,"a.png")' \
  'LoadFont(#Font_0,"Arial", 10)' \
  'Procedure OpenWindow_0(x = 0, y = 0, width = 300, height = 200)' \
  '  OpenWindow(#Window_0, x, y, width, height, "Main")' \
  '  CreateMenu(0, WindowID(#Window_0))' \
  '  MenuItem(#MenuItem_0, "Open")' \
  '  CreateStatusBar(0, WindowID(#Window_0))' \
  '  ButtonGadget(#Button_0, 10, 10, 80, 25, "OK")' \
  'EndProcedure' \
  'Procedure Window_0_Events(event)' \
  '  Select event' '    Case #MenuItem_0' '  EndSelect' \
  'EndProcedure' > "$work/ok/Main.pbf"
printf '%s\n' \
  'Procedure Open_Window_1()' \
  $'\tIf OpenWindow(#Window_1, 0, 0, 200, 100, "Two")' \
  $'\t\tButtonGadget(#Button_0, 10, 10, 80, 25, "OK")' \
  $'\t\tToolBarHeight(0) ; numbered toolbar' \
  $'\t\tMenuItem(#MenuItem_0, "Same item, other window")' \
  $'\t\tImageGadget(#Image_0, 0, 0, 16, 16, LoadImage(0, "A.PNG"))' \
  $'\tEndIf' \
  'EndProcedure' > "$work/ok/Other.pb"
out=$(run ok)
check "step 1 log" "Generate Code Step 1 ...
- Check Main.pb
 -> Main.pb not found.
- Load Files...
 -> Load File $work/ok/Main.pbf
 -> Load File $work/ok/Other.pb
- Interpret code...
Generate Code Step 2 ..." "$(echo "$out" | sed -n '1,8p')"
check "counts" " -> Count Window: 2
 -> Count MenuBar: 1
 -> Count MenuItem: 2
 -> Count StatusBar: 1
 -> Count ToolBar: 0
 -> Count Gadget: 3
 -> Count Image: 1" "$(echo "$out" | grep -- '-> Count')"
check "ready" "Ready.
rc=0" "$(echo "$out" | tail -3 | head -1; echo "$out" | tail -1)"
check "every constant declared" "" "$(undeclaredConstants "$work/ok/CommonFile.pb")"
check "Main.pb calls a procedure CommonFile.pb defines" "Open_Window_0() 1" "$(mainCall "$work/ok")"
check "names kept" "[WINDOW]
Window_0
Window_1

[MENU]
Window_0_Menu

[MENUITEM]
Window_0_MenuItem_0
Window_1_MenuItem_0

[STATUSBAR]
Window_0_StatusBar

[TOOLBAR]

[GADGET]
Window_0_Button_0
Window_1_Button_0
Window_1_Image_0" "$(sed -n '/^\[WINDOW\]/,$p' "$work/ok/p.pbm" | sed '${/^$/d}')"

# The run keeps the form files relative to the project's folder: a copy of the folder
# reads its own files (the log names them) and sees an edit made in the copy; a dry run
# says what it would write and that it changed nothing.
check "rows relative" $'[FILES]\nMain.pbf\nOther.pb' "$(sed -n '1,3p' "$work/ok/p.pbm")"
cp -a "$work/ok" "$work/moved ok"
sed -i 's/"Two"/"Second"/' "$work/moved ok/Other.pb"
out=$("$APP" --generate "$work/moved ok/p.pbm" --config-dir "$work/cfg" --check 2> "$work/check.err"; echo "rc=$?")
check "copy reads its own files" " -> Load File $work/moved ok/Main.pbf
 -> Load File $work/moved ok/Other.pb" "$(echo "$out" | grep -- '-> Load File')"
check "copy's edit seen" "rc=3|would change: CommonFile.pb" "$(echo "$out" | tail -1)|$(cat "$work/check.err")"
check "dry run claims no write" " -> Would Write File $work/moved ok/CommonFile.pb
- Nothing written: no file was changed.
Ready." "$(echo "$out" | grep -e ' -> .*Write File' -e '^- Nothing' -e '^Ready')"
check "dry run leaves other files be" 5 "$(echo "$out" | grep -c -- ' -> Unchanged File ')"

# One file reached by two paths (a link) is loaded once, and a file outside the project
# folder is named.
project linked a.pb link.pb
printf 'Procedure Open_W()\n  OpenWindow(#W, 0, 0, 1, 1, "A")\nEndProcedure\n' > "$work/linked/a.pb"
ln -s a.pb "$work/linked/link.pb"
sed -i "2a $work/ok/Other.pb" "$work/linked/p.pbm"
out=$(run linked)
check "link loaded once" " -> Load File $work/linked/a.pb
 -> Load File $work/ok/Other.pb
 -> Warning: $work/ok/Other.pb lies outside the project folder.
 -> Warning: $work/linked/link.pb is the same file as $work/linked/a.pb; it is loaded once.
- Interpret code..." "$(echo "$out" | sed -n '/^- Load Files/,/^- Interpret/p' | sed 1d)"
check "link run ends" "rc=0" "$(echo "$out" | tail -1)"
check "outside row stays absolute" $'[FILES]\na.pb\n'"$work/ok/Other.pb"$'\nlink.pb' "$(sed -n '1,4p' "$work/linked/p.pbm")"

# Runs that stop in step 1: the error lines, "Cancel.", one empty line, exit status 1,
# the project file untouched and nothing written.
stopped() {  # name, expected error lines
  local out files
  cp "$work/$1/p.pbm" "$work/$1/before.pbm"
  files=$(ls "$work/$1")
  out=$(run "$1")
  check "$1" "$2
Cancel.

rc=1" "$(echo "$out" | tail -$(($(echo "$2" | wc -l) + 3)))"
  check "$1 stops in step 1" "" "$(echo "$out" | grep 'Step 2')"
  cmp -s "$work/$1/p.pbm" "$work/$1/before.pbm"; check "$1 project unchanged" 0 $?
  check "$1 nothing written" "$files" "$(ls "$work/$1")"
}
# A toolbar or status bar takes the prefix of the window it names.
stops() {  # name, form code line 1, line 2, expected error line
  project "$1" a.pb
  printf 'Procedure Open_Window_0()\n  %s\n  %s\nEndProcedure\n' "$2" "$3" > "$work/$1/a.pb"
  stopped "$1" "$4"
}
stops pbany 'ButtonGadget(#B, 0, 0, 1, 1, "")' 'If OpenWindow(#PB_Any, 0, 0, 100, 100, "Main") : EndIf' \
  " -> Error: Find OpenWindow with '#PB_Any', Not supported. Stop!"
stops window 'OpenWindow(#Window_0, 0, 0, 1, 1, "A")' $'EndProcedure\nProcedure Open_B()\n  If OPENWINDOW(#WINDOW_0, 0, 0, 1, 1, "B")' \
  " -> #WINDOW_0 is created twice in $work/window/a.pb
 -> Error: Find duplicate WindowID(#WINDOW_0). Stop!"
stops menu 'CreateMenu(#Menu_0, WindowID(#W))' 'CreatePopupMenu(#Menu_0)' \
  " -> Error: Find duplicate MenuID(#Menu_0). Stop!"
# Slips: an object name that is no PureBasic name, a procedure without its end.
stops slip 'OpenWindow(#W, 0, 0, 1, 1, "A")' 'ButtonGadget(#Button_Slip 10, 0, 1, 1, "")' \
  " -> Error: ButtonGadget in a.pb line 3: '#Button_Slip 10' is not a PureBasic name; write the object's constant as one name. Stop!"
stops noend 'OpenWindow(#W, 0, 0, 1, 1, "A")' $'Procedure Open_B()\n  OpenWindow(#B, 0, 0, 1, 1, "B")' \
  " -> Error: Procedure Open_Window_0 in a.pb line 1 has no EndProcedure. Stop!"

# A form file gone from disk, and a picture in the file list that holds no window.
project gone a.pb gone.pb
printf 'Procedure Open_W()\n  OpenWindow(#W, 0, 0, 1, 1, "A")\nEndProcedure\n' > "$work/gone/a.pb"
stopped gone "Error $work/gone/gone.pb: Open file error
 -> Error: a source file could not be read. Stop!"
project picture logo.png
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' > "$work/picture/logo.png"
stopped picture " -> Error: no window found in the form code. Stop!"
check "picture named" 1 "$(run picture | grep -c -x -F " -> Warning: $work/picture/logo.png is no text file; it holds no form code.")"

# A commented-out window creates nothing; a repeated menu item only warns, and so do a
# status bar and a toolbar created again for the same window.
project warn a.pb
printf '%s\n' 'Procedure Open_W()' '  OpenWindow(#W, 0, 0, 1, 1, "A")' '  ; OpenWindow(#W, 0, 0, 1, 1, "A")' \
  '  MenuItem(#M, "a")' '  ToolBarStandardButton(#M, #PB_ToolBarIcon_New)' \
  '  CreateStatusBar(#S, WindowID(#W))' '  CreateToolBar(#T, WindowID(#W))' 'EndProcedure' \
  'Procedure Rebuild()' '  FreeStatusBar(#S) : CreateStatusBar(#S, WindowID(#W))' \
  '  FreeToolBar(#T) : CreateToolBar(#T, WindowID(#W))' 'EndProcedure' > "$work/warn/a.pb"
out=$(run warn)
check "warning" " -> Warning: Find duplicate MenuItemID(#W_M) by ToolbarButton.
 -> Warning: Find duplicate StatusBarID(#W_S) for the same window, taken as one status bar.
 -> Warning: Find duplicate ToolBarID(#W_T) for the same window, taken as one toolbar." "$(echo "$out" | grep -- '-> Warning')"
check "warning goes on" "rc=0" "$(echo "$out" | tail -1)"

finish
