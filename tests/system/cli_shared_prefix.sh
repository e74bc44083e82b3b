#!/usr/bin/env bash
# Two windows whose names begin alike (Main and Main_Options), one of them renamed,
# through the real program: the rename reaches Main's objects only, in the binding step,
# in the event files and in an include file. The project lists its form by a relative
# path and is generated from another folder; the form mixes UTF-8 and 8-bit lines.
set -u
. "$(dirname "$0")/checks.sh"
startWork "$1"

p="$work/p"
mkdir -p "$work/elsewhere" "$p/forms"
form() {  # the form with the first window's name
  printf '%s\n' \
    "; Fenster für die Einstellungen" \
    "Procedure Open_$1()" \
    "  If OpenWindow(#$1, 100, 100, 300, 200, \"Main\", #PB_Window_SystemMenu)" \
    '    ButtonGadget(#Button_0, 10, 10, 100, 20, "OK")' \
    '  EndIf' 'EndProcedure' \
    'Procedure Open_Main_Options()' \
    '  If OpenWindow(#Main_Options, 100, 100, 300, 200, "Options", #PB_Window_SystemMenu)' \
    '    ButtonGadget(#Button_0, 10, 10, 100, 20, "Apply")' \
    '  EndIf' 'EndProcedure' > "$p/forms/form.pb"
  printf '; Gr\xf6\xdfe\n' >> "$p/forms/form.pb"  # one 8-bit line
}
form Main
printf '[FILES]\nforms/form.pb\n\n[SWITCH]\nParend=0\nPB_Ignore=1\nMultilang=0\nImage_Include=0\nImage_Null=0\nUseCallFast=1\nUtf8=1\n' \
  > "$p/demo.pbm"
cd "$work/elsewhere" || exit 1
run() { "$APP" --generate ../p/demo.pbm --config-dir "$work/cfg" "$@"; }

run > "$work/first.log"; check "first run" 0 $?
check "the form is read from the project's folder" " -> Warning: mixed encodings in $work/elsewhere/../p/forms/form.pb" \
  "$(grep 'Warning' "$work/first.log")"
check "row kept as written" "forms/form.pb" "$(sed -n 2p "$p/demo.pbm")"
check "names stored" $'Main\nMain_Options' "$(sed -n '/^\[WINDOW\]/,/^$/p' "$p/demo.pbm" | sed -n '2,3p')"

# The user's code for both windows, in the event files and in an include file.
cd "$p" || exit 1
sed -i 's/^    Case #PB_EventType_LeftClick$/&\n      Debug "clicked"/' EventGadget.pb
sed -i 's/^;IncludeFile "???.pb"$/IncludeFile "user.pbi"/' Main.pb
printf '%s\n' 'Procedure Both()' \
  '  SetGadgetText(#Main_Button_0, "a") : SetGadgetText(#Main_Options_Button_0, "b")' \
  '  HideWindow(#Main_Options, 0) : Open_Main_Options() : Open_Main()' 'EndProcedure' > user.pbi
cp EventGadget.pb EventWindow.pb "$work/"

# Main becomes Start; Main_Options keeps its name, and so do its gadgets: no gadget is
# left to bind, so the run needs no --allow-unbound.
form Start
cd "$work/elsewhere" || exit 1
run --bind Window:Main=Start > "$work/second.log" 2> "$work/err.txt"; check "renaming run" 0 $?
check "no complaints" "" "$(cat "$work/err.txt")"
cd "$p" || exit 1
check "include file" $'Procedure Both()\n  SetGadgetText(#Start_Button_0, "a") : SetGadgetText(#Main_Options_Button_0, "b")\n  HideWindow(#Main_Options, 0) : Open_Main_Options() : Open_Start()\nEndProcedure' \
  "$(cat user.pbi)"
check "gadget procedures" $'Procedure EventGadget_Start_Button_0(EventType)\nProcedure EventGadget_Main_Options_Button_0(EventType)' \
  "$(grep '^Procedure' EventGadget.pb)"
check "user code kept" 2 "$(count 'Debug "clicked"' EventGadget.pb)"
check "window procedures" $'Procedure EventSize_Start()\nProcedure EventSize_Main_Options()\nProcedure EventExit_Start()\nProcedure EventExit_Main_Options()' \
  "$(grep '^Procedure' EventWindow.pb)"
check "the other window still closes itself" 1 "$(count '^  CloseWindow(#Main_Options)$' EventWindow.pb)"
check "no invented names" "" "$(grep -l 'Start_Options' ./*.pb* 2>/dev/null)"
check "Main_Options untouched" "$(grep -c 'Main_Options' "$work/EventWindow.pb")" "$(count 'Main_Options' EventWindow.pb)"

finish
