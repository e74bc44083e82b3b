#!/usr/bin/env bash
# Paths are bytes. A project in a folder whose name is ISO 8859-1 ("caf\xe9") beside its
# UTF-8 twin ("café") is run in its own folder, through its project file, its file list
# and an include file named by an absolute path outside the project; the twin is not
# touched. The log shows the 8-bit byte readably.
set -u
. "$(dirname "$0")/checks.sh"
startWork "$1"

latin=$(printf '%s/caf\xe9' "$work")
twin="$work/café"
shown="$work/caf\\xE9"  # how the log shows the 8-bit name
oneButtonProject "$latin"
oneButtonProject "$twin"
run() { (cd "$1" && "$APP" --generate demo.pbm --config-dir "$work/cfg" "${@:2}"); }

run "$twin" > /dev/null; check "twin: first run" 0 $?
# A run there would write the same bytes again: its files' inodes and times tell.
listing() { (cd "$twin" && ls -liAR --full-time); }
twinBefore=$(listing)
cp -a "$twin" "$work/twin.before"

# The form file row of caf\xe9's project file holds the 8-bit byte as well.
check "file list row is 8-bit" 1 "$(grep -c -a "^$latin/form.pb\$" "$latin/demo.pbm")"
run "$latin" > "$work/first.log"; check "first run" 0 $?
check "generated in its own folder" 1 "$(count '^Procedure EventGadget_Window_0_Button_0(EventType)$' "$latin/EventGadget.pb")"
check "log shows the byte readably" 1 "$(grep -c -x -F " -> Write File $shown/EventGadget.pb" "$work/first.log")"
# The run stores the row relative to the project folder, which keeps its bytes.
check "file list row kept" 1 "$(grep -c -a "^form.pb\$" "$latin/demo.pbm")"

# An include file named by its absolute path, outside the project: the rename reaches it.
mkdir -p "$work/lib"
printf 'Procedure Shared()\n  Open_Window_0()\nEndProcedure\n' > "$work/lib/shared.pbi"
sed -i "s|^;IncludeFile \"???.pb\"\$|IncludeFile \"$work/lib/shared.pbi\"|" "$latin/Main.pb"
sed -i 's/Window_0/Frame/g' "$latin/form.pb"
run "$latin" --bind Window:Window_0=Frame > "$work/second.log"; check "renaming run" 0 $?
check "absolute include renamed" 1 "$(count '^  Open_Frame()$' "$work/lib/shared.pbi")"
check "no twin of it in the project" absent "$([ -e "$latin$work" ] || echo absent)"
check "event code renamed" 1 "$(count '^Procedure EventGadget_Frame_Button_0(EventType)$' "$latin/EventGadget.pb")"

# The restore reaches the same bytes, and its log shows them readably too.
(cd "$latin" && "$APP" --restore demo.pbm > "$work/restore.log"); check "restore" 0 $?
check "restore log shows the byte readably" 1 "$(grep -c -x -F " -> Restore File $shown/demo.pbm" "$work/restore.log")"
check "absolute include restored" 1 "$(count '^  Open_Window_0()$' "$work/lib/shared.pbi")"

check "twin untouched" "" "$(diff -r "$work/twin.before" "$twin")"
check "twin not written" "$twinBefore" "$(listing)"
finish
