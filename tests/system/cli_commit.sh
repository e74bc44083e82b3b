#!/usr/bin/env bash
# The commit and the backup of a rename run, with the real program on disk: links planted
# in Backup are replaced and never written through, copies keep the permission bits of
# their files, include files below and outside the project are backed up at their
# places, a Backup that is no folder stops the run, and a second run on a project whose
# run waits in its commit does not start.
set -u
. "$(dirname "$0")/checks.sh"
startWork "$1"

# A generated one-window project with user code in include files beside Main.pb, in a
# subfolder and outside the project; then the window renamed in the form.
renamedProject() {  # dir
  local p=$1
  oneButtonProject "$p"
  (cd "$p" && "$APP" --generate demo.pbm --config-dir "$work/cfg" > /dev/null) || echo "setup run failed in $p"
  mkdir -p "$p/sub" "$p/../lib"
  printf 'Procedure A()\n  Open_Window_0()\nEndProcedure\n' > "$p/user.pbi"
  printf 'SetGadgetText(#Window_0_Button_0, "x")\n' > "$p/sub/deep.pbi"
  printf 'Open_Window_0()\n' > "$p/../lib/shared.pbi"
  sed -i 's|^;IncludeFile "???.pb"$|IncludeFile "user.pbi"\nIncludeFile "sub/deep.pbi"\nIncludeFile "../lib/shared.pbi"|' "$p/Main.pb"
  sed -i 's/Window_0/Frame/g' "$p/form.pb"
}
generate() {  # dir, command prefix...
  local p=$1
  shift
  (cd "$p" && "$@" "$APP" --generate demo.pbm --config-dir "$work/cfg" --bind Window:Window_0=Frame > "$p.log" 2> "$p.err")
}
# Hidden machinery a run must never leave: temporaries and the journal.
leftovers() { find "$1" "$1/../lib" -name '.*.tw-*' -o -name .tarnwick-journal | sort; }

# ---- links in Backup, permission bits, where the copies lie ----
p="$work/a/p"
renamedProject "$p"
echo "victim" > "$work/victim"
mkdir -p "$work/elsewhere"
ln -sf "$work/victim" "$p/Backup/user.pbi"
ln -s "$work/elsewhere" "$p/Backup/sub"
chmod 600 "$p/user.pbi"
cp "$p/user.pbi" "$work/user.before"
cp "$p/sub/deep.pbi" "$work/deep.before"
cp "$p/../lib/shared.pbi" "$work/shared.before"
generate "$p"
check "rename run" 0 $?
check "link target untouched" "victim" "$(cat "$work/victim")"
check "link replaced by the copy" "file" "$([ -f "$p/Backup/user.pbi" ] && [ ! -L "$p/Backup/user.pbi" ] && echo file)"
check "copy of user.pbi" 0 "$(cmp -s "$p/Backup/user.pbi" "$work/user.before"; echo $?)"
check "copy keeps 0600" "600 600" "$(stat -c %a "$p/user.pbi") $(stat -c %a "$p/Backup/user.pbi")"
check "folder link replaced by a folder" "dir" "$([ -d "$p/Backup/sub" ] && [ ! -L "$p/Backup/sub" ] && echo dir)"
check "linked folder untouched" "" "$(ls -A "$work/elsewhere")"
check "subfolder include backed up" 0 "$(cmp -s "$p/Backup/sub/deep.pbi" "$work/deep.before"; echo $?)"
check "outside include backed up" 0 \
  "$(cmp -s "$p/Backup/external$(realpath "$work/a/lib")/shared.pbi" "$work/shared.before"; echo $?)"
check "include files renamed" "1 1 1" "$(grep -c 'Open_Frame()' "$p/user.pbi") $(grep -c '#Frame_Button_0' "$p/sub/deep.pbi") \
$(grep -c 'Open_Frame()' "$p/../lib/shared.pbi")"
check "record of the run" "changed	user.pbi	user.pbi|changed	sub/deep.pbi	sub/deep.pbi" \
  "$(grep -e '	user.pbi' -e 'deep.pbi' "$p/Backup/.restore" | cut -f1-3 | paste -sd'|')"
check "nothing left behind" "" "$(leftovers "$p")"

# ---- a Backup that is no folder ----
for kind in file link; do
  p="$work/$kind/p"
  renamedProject "$p"
  rm -rf "$p/Backup"
  if [ $kind = file ]; then echo "not a folder" > "$p/Backup"; else mkdir "$work/$kind/real" && ln -s ../real "$p/Backup"; fi
  cp -a "$p" "$work/$kind/before"
  generate "$p"
  check "Backup a $kind: status" 1 $?
  check "Backup a $kind: log" $'- Make Backup...\n- Error CopyDirectory\n -> Error: no backup, no file was changed. Stop!\nCancel.' \
    "$(sed -n '/^- Make Backup/,/^Cancel/p' "$p.log")"
  check "Backup a $kind: nothing changed" "" "$(diff -r --no-dereference "$work/$kind/before" "$p")"
done

# ---- hostile projects: a journal or a backup record that reaches outside ----
# Neither is carried out: a file outside the project, one through a linked folder, a
# copy that is a link and a folder to remove are refused, and nothing anywhere changes.
p="$work/h/p"
home="$work/h/home"
renamedProject "$p"
generate "$p"
check "hostile: the run" 0 $?
mkdir -p "$home"
echo "secret" > "$home/key"
echo "mine" > "$home/.bashrc"
echo "theirs" > "$home/..bashrc.tw-a1b2c3"
ln -s "$home" "$p/cfg"
mkdir -p "$p/Backup/external$home"
echo "theirs" > "$p/Backup/external$home/.bashrc"
cp "$p/Backup/.restore" "$work/h/record"
cp -a "$work/h" "$work/h.before"
hostile() {  # label, command: runs it and checks that nothing changed
  local label=$1
  shift
  (cd "$p" && "$@" > "$work/h.log" 2> "$work/h.err")
  check "hostile $label: status" 1 $?
  check "hostile $label: outside untouched" "" "$(diff -r --no-dereference "$work/h.before/home" "$home")"
  check "hostile $label: refusal logged" 1 "$(grep -c -e 'is refused' -e 'which is refused' "$work/h.log" | sed 's/^[1-9][0-9]*$/1/')"
}
for rec in "changed	cfg/.bashrc	Main.pb" "changed	$home/.bashrc	external$home/.bashrc" "created	sub"; do
  printf 'Tarnwick restore 1\n%s\n' "$rec" > "$p/Backup/.restore"
  hostile "record ${rec%%	*} ${rec#*	}" "$APP" --restore demo.pbm
  check "hostile record: project untouched" "" "$(diff -r --no-dereference -x .restore "$work/h.before/p" "$p")"
done
cp "$work/h/record" "$p/Backup/.restore"
mv "$p/Backup/user.pbi" "$work/h/user.copy"
ln -s "$home/key" "$p/Backup/user.pbi"
hostile "linked copy" "$APP" --restore demo.pbm
check "hostile linked copy: no key in the project" "" "$(grep -rl secret "$p" --exclude-dir=cfg)"
rm "$p/Backup/user.pbi"
mv "$work/h/user.copy" "$p/Backup/user.pbi"
for entry in "file	$home/..bashrc.tw-a1b2c3	$home/.bashrc" "file	$p/cfg/..bashrc.tw-a1b2c3	$p/cfg/.bashrc" \
  "remove		$p/sub"; do
  printf 'Tarnwick journal 1\n%s\n' "$entry" > "$p/.tarnwick-journal"
  hostile "journal ${entry%%	*} ${entry##*	}" "$APP" --generate demo.pbm --config-dir "$work/cfg"
  check "hostile journal: kept aside" "yes" "$([ -f "$p/tarnwick-journal.refused" ] && [ ! -e "$p/.tarnwick-journal" ] && echo yes)"
  check "hostile journal: sub stays" "yes" "$([ -f "$p/sub/deep.pbi" ] && echo yes)"
  rm -f "$p/tarnwick-journal.refused"
done

# ---- a restore over a file edited after the run: named, and replaced only with --force ----
echo "; edited" >> "$p/user.pbi"
cp "$p/user.pbi" "$work/h/edited"
(cd "$p" && "$APP" --restore demo.pbm > "$work/h.log" 2> "$work/h.err")
check "restore over an edit: status" 1 $?
check "restore over an edit: named" "Changed after the run: $p/user.pbi" "$(head -1 "$work/h.err")"
check "restore over an edit: kept" 0 "$(cmp -s "$p/user.pbi" "$work/h/edited"; echo $?)"
(cd "$p" && "$APP" --restore demo.pbm --force > "$work/h.log" 2> "$work/h.err")
check "restore --force: status" 0 $?
check "restore --force: the edit in Backup" 0 "$(cmp -s "$p/Backup/user.pbi" "$work/h/edited"; echo $?)"

# ---- a second run while the first waits in its commit ----
if strace -o /dev/null -e inject=getpid:delay_enter=1 true 2> /dev/null; then
  p="$work/two/p"
  renamedProject "$p"
  # The first rename of the run is its journal's: the run holds the lock and waits there.
  # (LeakSanitizer cannot look into a traced process: a sanitizer build skips it there.)
  generate "$p" env ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" \
    strace -f -o /dev/null -e trace=rename -e inject=rename:delay_enter=3000000:when=1 &
  first=$!
  for ((i = 0; i < 100; i++)); do [ -n "$(find "$p" -maxdepth 1 -name '.*tarnwick-journal.tw-*')" ] && break; sleep 0.05; done
  (cd "$p" && "$APP" --generate demo.pbm --config-dir "$work/cfg" > "$work/second.log" 2> "$work/second.err")
  check "second run refused" 2 $?
  check "second run's message" "Error: the project is being generated by another run" "$(cat "$work/second.err")"
  check "second run logs nothing" "" "$(cat "$work/second.log")"
  wait $first
  check "first run finishes" 0 $?
  check "first run renamed" 1 "$(grep -c 'Open_Frame()' "$p/user.pbi")"
  check "no lock, journal or temporary left" "" "$(leftovers "$p")"
else
  echo "SKIP second run: strace cannot delay a syscall here"
fi

finish
