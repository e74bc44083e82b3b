#!/usr/bin/env bash
# What a run would change, seen before it writes: --dry-run leaves every byte and time
# stamp of the project as it was, --diff applied with patch gives the files of the real
# run, --check tells a build whether a run would change anything; and --restore undoes
# a run, a second one redoes it.
set -u
. "$(dirname "$0")/checks.sh"
startWork "$1"
p="$work/p"
oneButtonProject "$p"
cd "$p" || exit 1
gen() { "$APP" --generate demo.pbm --config-dir "$work/cfg" "$@"; }
gen > /dev/null
check "first run" 0 $?

# User code in a subfolder include; the window renamed and the language files switched
# on, so that the run renames, changes and creates files.
mkdir sub
printf 'Procedure More()\n  Open_Window_0()\n  SetGadgetText(#Window_0_Button_0, "x")\nEndProcedure\n' > sub/more.pbi
sed -i 's|^;IncludeFile "???.pb"$|IncludeFile "sub/more.pbi"|' Main.pb
sed -i 's/Window_0/Frame/g' form.pb
sed -i 's/^Multilang=0$/Multilang=1/' demo.pbm
BIND=(--bind Window:Window_0=Frame)
stamps() { find "$p" -printf '%P %y %s %m %T@ %C@\n' | sort; find "$p" -type f -exec md5sum {} + | sort; }
stamps > "$work/before.txt"
cp -a "$p" "$work/copy"

gen "${BIND[@]}" --dry-run > "$work/dry.log" 2> "$work/dry.err"
check "dry run: status" 0 $?
check "dry run: every byte and time stamp kept" "" "$(stamps | diff "$work/before.txt" -)"
check "dry run: files it would change" \
  "$(printf 'would change: %s\n' sub/more.pbi Main.pb CommonFile.pb EventMain.pb EventGadget.pb EventWindow.pb LoadLanguage.pb Catalog demo.pbm)" \
  "$(grep '^would change: ' "$work/dry.log")"

gen "${BIND[@]}" --diff > "$work/run.patch" 2> "$work/diff.err"
check "diff: status" 0 $?
check "diff: the log on stderr" 1 "$(grep -c '^Ready\.$' "$work/diff.err")"
check "diff: new files against /dev/null" 2 "$(grep -c '^--- /dev/null$' "$work/run.patch")"
check "diff: nothing written" "" "$(stamps | diff "$work/before.txt" -)"
(cd "$work/copy" && patch -p1 -s < "$work/run.patch")
check "diff: applies" 0 $?

gen "${BIND[@]}" --check > /dev/null 2> "$work/check.err"
check "check before the run: would change" 3 $?
check "check before the run: names" 9 "$(grep -c '^would change: ' "$work/check.err")"
gen > /dev/null 2>&1 --check
check "check of a cancelled run" 1 $?

cp -a "$p" "$work/prior"
gen "${BIND[@]}" > /dev/null
check "real run" 0 $?
check "real run equals the patched copy" "" "$(diff -r -x Backup "$work/copy" "$p")"
gen --check > /dev/null 2> "$work/check.err"
check "check after the run" "0 " "$? $(cat "$work/check.err")"
sed -i 's/^    ButtonGadget(#Button_0, .*$/&\n    ButtonGadget(#Button_1, 10, 40, 100, 20, "More")/' form.pb
gen --check > /dev/null 2> "$work/check.err"
check "check after an edit" "3 would change: CommonFile.pb" "$? $(grep -m1 CommonFile.pb "$work/check.err")"
sed -i '/#Button_1/d' form.pb

# Restore puts back what the run changed and removes what it created; the second
# restore redoes the run.
cp -a "$p" "$work/after"
"$APP" --restore demo.pbm > "$work/restore.log"
check "restore: status" 0 $?
check "restore: files as before the run" "" "$(diff -r -x Backup "$work/prior" "$p")"
check "restore: created files removed" "absent absent" \
  "$([ -e LoadLanguage.pb ] || echo absent) $([ -e Catalog ] || echo absent)"
check "restore: the include as before" 1 "$(grep -c '^  Open_Window_0()$' sub/more.pbi)"
"$APP" --restore demo.pbm > /dev/null
check "redo: status" 0 $?
check "redo: files as after the run" "" "$(diff -r -x Backup "$work/after" "$p")"
rm Backup/.restore
"$APP" --restore demo.pbm > /dev/null 2> "$work/restore.err"
check "no record: refused" 2 $?
check "no record: message" 1 "$(grep -c 'no backup made by a run' "$work/restore.err")"

finish
