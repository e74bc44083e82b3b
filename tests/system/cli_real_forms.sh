#!/usr/bin/env bash
# Forms as people write them by hand or with other designers, through the real program:
# the generated CommonFile.pb declares every constant its code uses, and Main.pb calls
# a procedure that CommonFile.pb defines.
set -u
APP=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/checks.sh"
mkdir -p "$work/cfg"

# form NAME SWITCHES: the project $work/NAME/p.pbm listing form.pb, which stdin fills.
form() {
  mkdir -p "$work/$1"
  cat > "$work/$1/form.pb"
  printf '[FILES]\n%s\n\n[SWITCH]\n%s\n' "$work/$1/form.pb" "$2" > "$work/$1/p.pbm"
}
run() { (cd "$work/$1" && "$APP" --generate p.pbm --config-dir "$work/cfg"; echo "rc=$?"); }
# The constants that the code of CommonFile.pb uses (outside strings and comments) but
# no enumeration of it declares; PureBasic's own constants are left out.
undeclared() {
  perl -ne '
    if (/^Enumeration/ .. /^EndEnumeration/) { $declared{lc $1} = 1 if /^\s+#(\w+)\s*$/; next }
    s/~"(?:\\.|[^"\\])*"|"[^"]*"|\x27[^\x27]*\x27//g;
    s/;.*//;
    $used{lc $1} //= $1 while /(?<!::)#(\w+)(?![\w\$])/g;
    END {
      print join(" ", sort grep { !$declared{lc $_} && !/^(PB_\w+|True|False|Null)$/i } values %used), "\n";
    }' "$work/$1/CommonFile.pb"
}
# The procedure that Main.pb calls first in its main procedure, and whether CommonFile.pb
# defines it.
mainCall() { awk '/^Procedure Main\(\)/ { inMain = 1; next } inMain && NF { print $1; exit }' "$work/$1/Main.pb"; }
defined() {
  local name
  name=$(mainCall "$1" | sed 's/()$//')
  grep -ciE "^\s*Procedure(C|DLL|CDLL)?(\.\w+)?\s+$name\s*\(" "$work/$1/CommonFile.pb"
}

# Hand-written: its own procedure name and event code, column-aligned calls, a frame, a
# font loaded in a condition, an image loaded into the form's own constant.
form hand 'Parend=1' <<'PB'
Enumeration
  #Main
  #Menu
  #Item_Quit
  #Frame
  #Btn_Ok
  #Btn_Save
  #Logo
EndEnumeration
If LoadFont(#Font_Big, "DejaVu Sans", 14) = 0 : End : EndIf
LoadImage(#Img_Logo, "logo.png")

Procedure.l Window_Main()
  If OpenWindow          (#Main, 0, 0, 400, 300, "Main", #PB_Window_SystemMenu)
    CreateMenu(#Menu, WindowID(#Main))
    MenuItem(#Item_Quit, "Quit")
    FrameGadget     (#Frame, 5, 5, 390, 100, "Options")
    ButtonGadget    (#Btn_Ok, 10, 20, 80, 25, "OK")
    LoadImage(#Img_Save, "save.png")
    ButtonImageGadget(#Btn_Save, 100, 20, 32, 32, ImageID(#Img_Save))
    ImageGadget(#Logo, 150, 20, 32, 32, ImageID(#Img_Logo))
    SetGadgetFont(#Btn_Ok, FontID(#Font_Big))
    AddKeyboardShortcut(#Main, #PB_Shortcut_Escape, #Item_Quit)
  EndIf
  ProcedureReturn #True
EndProcedure

Procedure Main_Events(Event)
  Select Event
    Case #PB_Event_Gadget
      Select EventGadget()
        Case #Btn_Ok : DisableGadget(#Btn_Save, 1)
      EndSelect
    Case #PB_Event_Menu
      If EventMenu() = #Item_Quit : End : EndIf
  EndSelect
EndProcedure
PB
out=$(run hand)
check "hand: ready" "rc=0" "$(echo "$out" | tail -1)"
check "hand: every constant declared" "" "$(undeclared hand)"
check "hand: Main.pb calls" "Window_Main()" "$(mainCall hand)"
check "hand: which is defined" 1 "$(defined hand)"
check "hand: font section" $';- Load Font\nLoadFont(#Font_Big, "DejaVu Sans", 14)' \
  "$(sed -n '/^;- Load Font$/,/^$/p' "$work/hand/CommonFile.pb" | sed '$d')"
check "hand: frame has no event procedure" 0 "$(count EventGadget_Main_Frame "$work/hand/EventGadget.pb")"
check "hand: own event code" 1 "$(count '^        Case #Main_Btn_Ok : DisableGadget(#Main_Btn_Save, 1)$' "$work/hand/CommonFile.pb")"

# Another designer's: CreateGUI() opens the first window, Form() a second one, and a
# helper after them sets texts in both.
form gui 'Parend=1' <<'PB'
Procedure CreateGUI()
  OpenWindow(#WinA, 0, 0, 300, 200, "A")
  ButtonGadget(#Go, 10, 10, 80, 25, "Go")
EndProcedure
Procedure Form()
  OpenWindow(#WinB, 0, 0, 200, 100, "B")
  StringGadget(#Input, 10, 10, 100, 20, "")
EndProcedure
Procedure ResetGUI()
  SetGadgetText(#Go, "Go")
  SetGadgetText(#Input, "")
EndProcedure
PB
out=$(run gui)
check "gui: ready" "rc=0" "$(echo "$out" | tail -1)"
check "gui: every constant declared" "" "$(undeclared gui)"
check "gui: Main.pb calls" "CreateGUI()" "$(mainCall gui)"
check "gui: which is defined" 1 "$(defined gui)"

# A window procedure that needs an argument: Main.pb calls Open_ + the window, and the
# log says why.
form args '' <<'PB'
Procedure OpenMain(Title$)
  OpenWindow(#Main, 0, 0, 100, 100, Title$)
  ButtonGadget(#B, 0, 0, 10, 10, "B")
EndProcedure
PB
out=$(run args)
check "args: warning after the first line of step 4" " -> Warning: window Main opened by procedure OpenMain, which needs arguments; Main.pb calls Open_Main()." \
  "$(echo "$out" | sed -n '/^- Create new code...$/{n;p}')"
check "args: Main.pb calls" "Open_Main()" "$(mainCall args)"
check "args: every constant declared" "" "$(undeclared args)"
# A later run finds no placeholder left and warns no more.
check "args: no warning on the next run" 0 "$(run args | grep -c Warning)"

finish
