#!/usr/bin/env bash
# The preview, driven as a user would with xdotool: "Preview" in Start Generate shows the
# files a run would change without writing any, "Generate" in the Preview window runs
# for real, and Action > Restore Backup undoes that run after its question. Keeps a
# screenshot of the Preview window in BINARY_DIR/screenshots.
# Arguments: the program, the source folder, the build folder (which holds wm_delete).
set -u
. "$(dirname "$0")/gui.sh"
oneButtonProject "$work/proj"
cp "$work/proj/demo.pbm" "$work/demo.before"
generated() { ls "$work/proj" | grep -c -x -e Main.pb -e CommonFile.pb -e EventMain.pb -e EventMenu.pb \
  -e EventGadget.pb -e EventWindow.pb; }

start demo.pbm
keys "$main" F5
dlg=$(win "Start Generate")
check "Start Generate opens" yes "$([ -n "$dlg" ] && echo yes)"
xdotool mousemove --window "$dlg" 200 175 click 1  # "Preview", beside "Start"
pv=$(win Preview)
check "the Preview window opens" yes "$([ -n "$pv" ] && echo yes)"
check "a preview writes nothing" "0 $(cat "$work/demo.before")" "$(generated) $(cat "$work/proj/demo.pbm")"
if [ -n "$pv" ]; then
  sleep 0.5; shot preview "$pv"
  xdotool mousemove --window "$pv" 70 495 click 1  # "Generate"
  wait_gone Preview
fi
for _ in $(seq 1 50); do [ "$(generated)" = 6 ] && break; sleep 0.1; done
check "Generate writes the files" 6 "$(generated)"
check "and the project file" 1 "$(grep -c -x 'Window_0_Button_0' "$work/proj/demo.pbm")"

keys "$main" alt+a r
q=$(win Frage)
check "Restore Backup asks" yes "$([ -n "$q" ] && echo yes)"
if [ -n "$q" ]; then sleep 0.3; shot restore_question "$q"; keys "$q" alt+y; fi
for _ in $(seq 1 50); do [ "$(generated)" = 0 ] && break; sleep 0.1; done
check "Restore removes what the run created" 0 "$(generated)"
check "and puts the project file back" "$(cat "$work/demo.before")" "$(cat "$work/proj/demo.pbm")"

"$WM_DELETE" "$main"
q=$(win Frage)
[ -n "$q" ] && keys "$q" alt+n
ended; check "exit" 0 "$rc"
check "GTK stayed quiet" "" "$(grep -E 'WARNING|CRITICAL' "$work/app.err")"
finish
