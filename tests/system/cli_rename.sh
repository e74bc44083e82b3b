#!/usr/bin/env bash
# A renamed window and gadget carried through the user's sources by the real program:
# generate a project, write code into its event procedures and an include file, rename
# both objects in the form, run again with the bindings.
set -u
. "$(dirname "$0")/checks.sh"
startWork "$1"

mkdir -p "$work/p" "$work/before"
p="$work/p"
cd "$p" || exit 1
oneButtonProject "$p"
run() { "$APP" --generate demo.pbm --config-dir "$work/cfg" "$@"; }

run > "$work/first.log"; check "first run" 0 $?
check "first gadget procedure" 1 "$(count '^Procedure EventGadget_Window_0_Button_0(EventType)$' EventGadget.pb)"

# The user's own code: inside the generated procedures, in Main.pb and in an include file.
sed -i 's/^    Case #PB_EventType_LeftClick$/&\n      Debug "clicked " + Str(#Window_0_Button_0)/' EventGadget.pb
sed -i 's/^  ExitApplication = 1$/  MessageRequester("Bye", GetGadgetText(#Window_0_Button_0))\n&/' EventWindow.pb
sed -i 's/^;IncludeFile "???.pb"$/IncludeFile "user.pbi"/' Main.pb
printf 'Procedure Reopen()\r\n  Open_Window_0()\r\n  SetGadgetText(#Window_0_Button_0, "Again")\r\n  ; #Window_01 stays\r\nEndProcedure\r\n' > user.pbi
check "user code written" 2 "$(cat EventGadget.pb EventWindow.pb | grep -c '#Window_0_Button_0')"

# Both objects renamed in the form designer.
sed -i 's/Window_0/MainWin/g; s/Button_0/OkButton/g' form.pb
cp -p ./*.pb* "$work/before/"

# Without bindings the run stops and names what is unbound; nothing is written.
out=$(run 2> "$work/err.txt" | tail -2; echo "rc=${PIPESTATUS[0]}")
check "unbound cancels" $'Cancel.\n\nrc=1' "$out"
check "unbound names" "Unbound old Window names: Window_0"$'\n'"New Window names: MainWin" "$(head -2 "$work/err.txt")"
check "cancel writes nothing" "" "$(for f in "$work"/before/*; do cmp -s "$f" "$(basename "$f")" || echo "$f"; done)"
check "cancel takes no backup" "2 absent" "$(count '#Window_0' Backup/form.pb) $([ -e Backup/user.pbi ] || echo absent)"

# A binding that names no vanished name is an error that names it; nothing is written.
out=$(run --bind Window:Window_0=MainWin --bind Gadget:Nope=OkButton 2> "$work/err.txt" | tail -2; echo "rc=${PIPESTATUS[0]}")
check "unmatched binding" $'Cancel.\n\nrc=2' "$out"
check "unmatched binding named" "Error: --bind Gadget:Nope=OkButton: Nope is no vanished Gadget name (vanished: MainWin_Button_0)." \
  "$(head -1 "$work/err.txt")"
check "unmatched binding writes nothing" "" "$(for f in "$work"/before/*; do cmp -s "$f" "$(basename "$f")" || echo "$f"; done)"

# The gadget's old name carries the window's new prefix already; as in the manual, the
# names may leave the window's prefix out.
run --bind Window:Window_0=MainWin --bind Gadget:Button_0=OkButton > "$work/second.log" 2> "$work/err.txt"
check "bound run" 0 $?
check "no complaints" "" "$(cat "$work/err.txt")"
check "step 3 lines" $'Generate Code Step 3 ...\n- Make Backup...\n- Update Prefix\n- Update Procedure\n- Update Constants\n- Update Open Window\n- Update IncludeFiles\n -> Update Includefile '"$p"'/user.pbi / Count Change: 3'$'\nGenerate Code Step 4 ...' \
  "$(sed -n '/^Generate Code Step 3/,/^Generate Code Step 4/p' "$work/second.log")"

# The user's code sits under the new names, and no empty twin was appended.
check "gadget procedure renamed" 1 "$(count '^Procedure EventGadget_MainWin_OkButton(EventType)$' EventGadget.pb)"
check "one gadget procedure" 1 "$(count '^Procedure EventGadget_' EventGadget.pb)"
check "gadget code kept" 1 "$(count '^      Debug "clicked " + Str(#MainWin_OkButton)$' EventGadget.pb)"
check "exit procedure renamed" 1 "$(count '^Procedure EventExit_MainWin()$' EventWindow.pb)"
check "size procedure renamed" 1 "$(count '^Procedure EventSize_MainWin()$' EventWindow.pb)"
check "window procedures" 2 "$(count '^Procedure Event' EventWindow.pb)"
check "exit code kept" 1 "$(count 'MessageRequester("Bye", GetGadgetText(#MainWin_OkButton))' EventWindow.pb)"
check "old names gone" "" "$(grep -l 'Window_0\|Button_0' Main.pb EventGadget.pb EventWindow.pb EventMain.pb CommonFile.pb)"
check "Main.pb opens the renamed window" 1 "$(count '^  Open_MainWin()$' Main.pb)"
check "include kept in Main.pb" 1 "$(count '^IncludeFile "user.pbi"$' Main.pb)"
check "include file" $'Procedure Reopen()\n  Open_MainWin()\n  SetGadgetText(#MainWin_OkButton, "Again")\n  ; #Window_01 stays\nEndProcedure' "$(cat user.pbi)"
check "include file has LF ends" 0 "$(grep -c $'\r' user.pbi)"

# Backup holds every PureBasic file as it was before the run.
for f in "$work"/before/*; do
  name=$(basename "$f")
  cmp -s "$f" "Backup/$name"; check "backup $name" 0 $?
done
check "project names" $'[WINDOW]\nMainWin\n\n[MENU]\n\n[MENUITEM]\n\n[STATUSBAR]\n\n[TOOLBAR]\n\n[GADGET]\nMainWin_OkButton' \
  "$(sed -n '/^\[WINDOW\]/,$p' demo.pbm | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}')"

# The next run finds nothing to bind and changes none of the user's code.
cp EventGadget.pb "$work/gadget.pb"
run > "$work/third.log"; check "third run" 0 $?
check "third run asks nothing" 0 "$(count 'Update Includefile' "$work/third.log")"
cmp -s EventGadget.pb "$work/gadget.pb"; check "stable event file" 0 $?

# A window rename left unbound: Main.pb opens and tests the same window, the new one.
sed -i 's/MainWin/Shop/g' form.pb
run --allow-unbound > "$work/fourth.log"; check "unbound run" 0 $?
check "Main.pb opens the window it tests" $'  Open_Shop()\n  \n  If WindowID(#Shop)' "$(sed -n 41,43p Main.pb)"

finish
