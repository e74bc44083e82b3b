#!/usr/bin/env bash
# The IDE's tool entry with a display, driven as a user would with xdotool: a renamed
# gadget makes `--ide FORM` ask in the program's own binding dialog; bound, the run ends
# quietly with status 0; closed, the run cancels and its log is shown in a window of its
# own. Keeps screenshots of both in BINARY_DIR/screenshots.
# Arguments: the program, the source folder, the build folder (which holds wm_delete).
set -u
. "$(dirname "$0")/gui.sh"
p="$work/proj"
mkdir -p "$work/cfg"
oneButtonProject "$p"
"$work/bin/tarnwick" --generate "$p/demo.pbm" --config-dir "$work/cfg" > /dev/null
sed -i 's/^    Case #PB_EventType_LeftClick$/&\n      Debug "user code"/' "$p/EventGadget.pb"
sed -i 's/Button_0/OkButton/g' "$p/form.pb"
ide() {  # the tool as the IDE starts it, in the background
  (cd "$p" && XDG_DATA_HOME="$work/data" exec "$work/bin/tarnwick" --ide "$p/form.pb" --config-dir "$work/cfg") \
    > "$work/ide.out" 2> "$work/ide.err" &
  app_pid=$!
}

ide
dlg=$(win "Search and Replace - Gadget")
check "the binding dialog opens" yes "$([ -n "$dlg" ] && echo yes)"
if [ -n "$dlg" ]; then
  sleep 0.3; shot ide_bind "$dlg"
  # The old list has the focus: select its row, then the new list's, and bind them by
  # activating the row; then Tab on to Continue.
  keys "$dlg" space Tab space Return Tab Tab Tab Tab space
fi
ended
check "the bound run ends quietly" "0 none" "$rc $(xdotool search --onlyvisible --name '^Tarnwick Log$' 2>/dev/null || echo none)"
check "the user's code moved to the new name" 1 \
  "$(sed -n '/^Procedure EventGadget_Window_0_OkButton(/,/^EndProcedure/p' "$p/EventGadget.pb" | grep -c 'user code')"
check "the project knows the new name" 1 "$(grep -c -x 'Window_0_OkButton' "$p/demo.pbm")"

# Renamed again, and this time the dialog is closed: the run cancels and shows its log.
sed -i 's/OkButton/GoButton/g' "$p/form.pb"
cp "$p/demo.pbm" "$work/demo.before"
ide
dlg=$(win "Search and Replace - Gadget")
if [ -n "$dlg" ]; then sleep 0.3; "$WM_DELETE" "$dlg"; fi
log=$(win "Tarnwick Log")
check "a cancelled run shows its log" yes "$([ -n "$log" ] && echo yes)"
if [ -n "$log" ]; then sleep 0.3; shot ide_log "$log"; keys "$log" Escape; fi
ended
check "and ends with status 1" 1 "$rc"
check "the log ends in Cancel." "Cancel.|" "$(tail -2 "$work/ide.out" | paste -sd'|')"
check "nothing changed" "" "$(cmp "$p/demo.pbm" "$work/demo.before")"
check "GTK stayed quiet" "" "$(grep -E 'WARNING|CRITICAL' "$work/ide.err")"
finish
