#!/usr/bin/env bash
# A form as people write it by hand, through the real program: the generated
# CommonFile.pb declares every constant its code uses, and Main.pb calls a procedure
# that CommonFile.pb defines.
set -u
. "$(dirname "$0")/checks.sh"
startWork "$1"

# Its own procedure names and event code, column-aligned calls, a frame, a font loaded
# in a condition, an image loaded into the form's own constant, a second window and a
# helper procedure after it.
p="$work/hand"
mkdir -p "$p"
cat > "$p/form.pb" <<'PB'
If LoadFont(#Font_Big, "DejaVu Sans", 14) = 0 : End : EndIf
Procedure.l Window_Main()
  If OpenWindow          (#Main, 0, 0, 400, 300, "Main", #PB_Window_SystemMenu)
    CreateMenu(#Menu, WindowID(#Main))
    MenuItem(#Item_Quit, "Quit")
    FrameGadget     (#Frame, 5, 5, 390, 100, "Options")
    ButtonGadget    (#Btn_Ok, 10, 20, 80, 25, "OK")
    LoadImage(#Img_Save, "save.png")
    ButtonImageGadget(#Btn_Save, 100, 20, 32, 32, ImageID(#Img_Save))
    SetGadgetFont(#Btn_Ok, FontID(#Font_Big))
    AddKeyboardShortcut(#Main, #PB_Shortcut_Escape, #Item_Quit)
  EndIf
EndProcedure
Procedure Form()
  OpenWindow(#Second, 0, 0, 200, 100, "Second")
  StringGadget(#Input, 10, 10, 100, 20, "")
EndProcedure
Procedure Events(Event)
  Select EventGadget()
    Case #Btn_Ok : DisableGadget(#Btn_Save, 1) : SetGadgetText(#Input, "")
  EndSelect
  If EventMenu() = #Item_Quit : End : EndIf
EndProcedure
PB
printf '[FILES]\n%s\n' "$p/form.pb" > "$p/p.pbm"
check "ready" "rc=0" "$(cd "$p" && "$APP" --generate p.pbm --config-dir "$work/cfg" > /dev/null; echo "rc=$?")"

check "every constant declared" "" "$(undeclaredConstants "$p/CommonFile.pb")"
check "Main.pb calls a procedure CommonFile.pb defines" "Window_Main() 1" "$(mainCall "$p")"
check "no block in the font section" "LoadFont(#Font_Big, \"DejaVu Sans\", 14)" \
  "$(sed -n '/^;- Load Font$/{n;p}' "$p/CommonFile.pb")"

# A hand-written form whose main window is opened in global code, with the constants
# and the other numbers it declares itself.
p="$work/global"
mkdir -p "$p"
cat > "$p/gui.pb" <<'PB'
#Title$ = "Demo" : #Pad = 5
Enumeration
  #Main
  #Go
  #Timer_Tick
EndEnumeration
Procedure Open_Help()
  OpenWindow(#Help, 0, 0, 100, 100, #Title$)
EndProcedure
If OpenWindow(#Main, 0, 0, 200, 100, #Title$)
  ButtonGadget(#Go, #Pad, #Pad, 50, 20, "Go")
  AddWindowTimer(#Main, #Timer_Tick, 100)
  Repeat
  Until WaitWindowEvent() = #PB_Event_CloseWindow
EndIf
PB
printf '[FILES]\n%s\n' "$p/gui.pb" > "$p/p.pbm"
check "global window: ready" "rc=0" "$(cd "$p" && "$APP" --generate p.pbm --config-dir "$work/cfg" > "$p/log"; echo "rc=$?")"
check "global window: every constant declared" "" "$(undeclaredConstants "$p/CommonFile.pb")"
check "global window: Main.pb opens it" "Open_Main() 1" "$(mainCall "$p")"
check "global window: warned" 1 "$(grep -c '^ -> Warning: window #Main is opened outside a procedure in gui.pb line 10: ' "$p/log")"

finish
