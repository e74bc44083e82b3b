#!/usr/bin/env bash
# Bad input through the real program, one case per project: odd entries in the file
# list, odd encodings and sizes, a garbage project file, files and folders that cannot
# be written, a disk that fills up. Every case must end with its log line and a defined
# exit status, and lose none of the user's data: a file the run changed has its old
# content in Backup, and the user's own lines are still there.
set -u
APP=$(realpath "$1")
work=$(mktemp -d)
mounted=""
frozen=()
cleanup() {
  local f
  for f in "${frozen[@]}"; do chattr -i "$f" 2> /dev/null; chmod u+w "$f" 2> /dev/null; done
  [ -n "$mounted" ] && umount "$mounted"
  rm -rf "$work"
}
trap cleanup EXIT
trap "exit 1" INT TERM HUP
. "$(dirname "$0")/checks.sh"
mkdir -p "$work/cfg"

# A generated project with the user's code in an event procedure and in an include file.
newProject() {  # dir
  local p=$1
  mkdir -p "$p"
  oneButtonProject "$p"
  (cd "$p" && "$APP" --generate demo.pbm --config-dir "$work/cfg" > /dev/null) || echo "setup run failed in $p"
  sed -i 's/^    Case #PB_EventType_LeftClick$/&\n      Debug "user code " + Str(#Window_0_Button_0)/' "$p/EventGadget.pb"
  sed -i 's/^;IncludeFile "???.pb"$/IncludeFile "user.pbi"/' "$p/Main.pb"
  printf 'Procedure UserCode()\n  Open_Window_0()\n  SetGadgetText(#Window_0_Button_0, "user")\nEndProcedure\n' > "$p/user.pbi"
}
addToList() {  # dir, path: a row after the form in the project's file list
  sed -i "2a $2" "$1/demo.pbm"
}
# The window renamed in the form, so that a run with the binding rewrites the sources.
renameWindow() { sed -i 's/Window_0/Frame/g' "$1/form.pb"; }
BIND=(--bind Window:Window_0=Frame)

# Runs the program in the project and records its log and exit status. The copy taken
# before the run, the log and the status lie outside the project, under its name.
aux() { echo "$work/aux/$(basename "$1")"; }
generate() {  # dir, options...
  local p=$1 a
  a=$(aux "$1")
  shift
  mkdir -p "$work/aux"
  rm -rf "$a.before"
  cp -a "$p" "$a.before"
  (cd "$p" && timeout 120 "$APP" --generate demo.pbm --config-dir "$work/cfg" "$@" > "$a.log" 2> "$a.err")
  echo $? > "$a.rc"
}
status() { cat "$(aux "$1").rc"; }
# Status and stderr of a run that met a file error: "Ready." with status 0 and a warning
# after a file that could not be read; "Cancel." with status 1 and no warning after one
# that could not be written.
warned() { echo "$(status "$1") $(grep -c 'file errors\? during the run' "$(aux "$1").err")"; }
writeStop=" -> Error: a file could not be written, no file was changed. Stop!"
unchanged() { diff -rq "$(aux "$1").before" "$1"; }  # dir: nothing at all changed, Backup included
hasLine() { grep -c -x -F -- "$2" "$(aux "$1").log"; }  # dir, exact log line
# No user data lost: every file of the project is unchanged, or changed and backed up
# with its old content; the user's lines survive in the files that carry them.
dataKept() {  # dir
  local p=$1 f name bad="" before
  before=$(aux "$p").before
  for f in "$before"/*; do
    name=$(basename "$f")
    [ "$name" = Backup ] && continue
    if [ -d "$f" ]; then [ -d "$p/$name" ] || bad+=" $name:gone"; continue; fi
    if [ ! -f "$f" ]; then [ -e "$p/$name" ] || bad+=" $name:gone"; continue; fi  # a pipe
    cmp -s "$f" "$p/$name" && continue
    [ -e "$p/$name" ] || { bad+=" $name:gone"; continue; }
    cmp -s "$f" "$p/Backup/$name" || bad+=" $name:changed-without-backup"
  done
  if [ -f "$p/EventGadget.pb" ] && [ "$(grep -c '^      Debug "user code "' "$p/EventGadget.pb")" != 1 ]; then bad+=" EventGadget.pb:user-code"; fi
  if [ -f "$p/user.pbi" ] && [ "$(grep -c 'SetGadgetText(#.*_Button_0, "user")' "$p/user.pbi")" != 1 ]; then bad+=" user.pbi:user-code"; fi
  echo "${bad:-kept}"
}
before() { echo "$(aux "$1").before/$2"; }  # dir, file: the file as it was before the run
# Makes a file or folder unwritable even for root where the file system allows it.
freeze() {  # path; fails when it cannot be done
  if [ "$(id -u)" = 0 ]; then
    chattr +i "$1" 2> /dev/null || return 1
  else
    chmod a-w "$1" || return 1
  fi
  frozen+=("$1")
}
randomBytes() { perl -e 'srand($ARGV[0]); print map { chr(int(rand(256))) } 1 .. $ARGV[1]' "$1" "$2"; }  # seed, count
thaw() { chattr -i "$1" 2> /dev/null; chmod u+w "$1" 2> /dev/null; }

# ---- the file list ----

# Entries that cannot be read stop the run before anything is written: without them
# the form would lose its windows and objects.
p="$work/list"
newProject "$p"
mkdir "$p/folder.pb"
addToList "$p" "$p/folder.pb"
addToList "$p" "$p/missing.pb"
mkfifo "$p/pipe.pb"  # reading it must not wait for a writer
addToList "$p" "$p/pipe.pb"
generate "$p"
check "list: status" 1 "$(status "$p")"
check "list: folder logged" 1 "$(hasLine "$p" "Error $p/folder.pb: Open file error")"
check "list: missing logged" 1 "$(hasLine "$p" "Error $p/missing.pb: Open file error")"
check "list: pipe logged" 1 "$(hasLine "$p" "Error $p/pipe.pb: Open file error")"
check "list: stopped" $' -> Error: a source file could not be read. Stop!\nCancel.' "$(tail -3 "$(aux "$p").log" | head -2)"
check "list: stops in step 1" 0 "$(grep -c 'Step 2' "$(aux "$p").log")"
check "list: nothing changed" "" "$(diff -rq "$(aux "$p").before" "$p" | grep -v 'is a fifo')"

# Binary and empty files are read like any other and add nothing.
p="$work/odd"
newProject "$p"
randomBytes 7 65536 > "$p/binary.pb"
addToList "$p" "$p/binary.pb"
: > "$p/empty.pb"
addToList "$p" "$p/empty.pb"
generate "$p"
check "odd files: status" "0 0" "$(warned "$p")"
# Random bytes make lines of UTF-8 and 8-bit text, which is worth a warning, not an error;
# as global code that declares nothing they are counted as left out.
check "odd files: read" 0 "$(grep -v ' -> Warning: mixed encodings in \| global lines of program code left out\.$' "$(aux "$p").log" | grep -c 'binary.pb\|empty.pb')"
check "odd files: form still read" 1 "$(hasLine "$p" " -> Count Window: 1")"
check "odd files: files written" 1 "$(hasLine "$p" " -> Write File $p/EventGadget.pb")"
check "odd files: data kept" kept "$(dataKept "$p")"

# A UTF-16 form file cut in the middle of a character: its whole characters count.
p="$work/utf16"
newProject "$p"
perl -e 'print "\xff\xfe", pack("v*", map { ord } split //, $ARGV[0]), "A"' \
  $'Enumeration\r\n  #Extra\r\nEndEnumeration\r\nProcedure Open_Extra()\r\n  If OpenWindow(#Extra, 0, 0, 300, 200, "\xdcber")\r\n  EndIf\r\nEndProcedure\r\n' \
  > "$p/wide.pb"
addToList "$p" "$p/wide.pb"
# And a UTF-32 one cut short, with characters no Unicode text holds.
perl -e 'print "\xff\xfe\x00\x00", pack("V*", (map { ord } split //, $ARGV[0]), 0x7FFFFFFF, 0xD800,
                                       (map { ord } split //, $ARGV[1])), "AB"' \
  $'Enumeration\r\n  #Odd\r\nEndEnumeration\r\nProcedure Open_Odd()\r\n  If OpenWindow(#Odd, 0, 0, 300, 200, "X' \
  $'")\r\n  EndIf\r\nEndProcedure\r\n' > "$p/wider.pb"
addToList "$p" "$p/wider.pb"
generate "$p"
check "utf-16 odd: status" 0 "$(status "$p")"
check "utf-16 odd: all windows" 1 "$(hasLine "$p" " -> Count Window: 3")"
check "utf-32 odd: bad characters replaced" 1 "$(grep -c 'OpenWindow(#Odd, .*, "X��"' "$p/CommonFile.pb")"
check "utf-16 odd: title decoded" 1 "$(grep -c 'OpenWindow(#Extra, .*, "Über"' "$p/CommonFile.pb")"
check "utf-16 odd: data kept" kept "$(dataKept "$p")"

# A UTF-16 include file cut in the middle of a character is not rewritten: written
# back, the cut byte would be lost or garbled. The renames cannot reach it, so the run
# changes nothing at all.
p="$work/utf16include"
newProject "$p"
perl -e 'print "\xff\xfe", pack("v*", map { ord } split //, $ARGV[0]), "A"' \
  $'Procedure More()\r\n  Open_Window_0()\r\nEndProcedure\r\n' > "$p/wide.pbi"
sed -i 's/^IncludeFile "user.pbi"$/&\nIncludeFile "wide.pbi"/' "$p/Main.pb"
renameWindow "$p"
generate "$p" "${BIND[@]}"
check "utf-16 odd include: status" "1 0" "$(warned "$p")"
check "utf-16 odd include: logged" 1 "$(hasLine "$p" " -> Error WriteFile $p/wide.pbi / Errorcode: 1")"
check "utf-16 odd include: stopped" 1 "$(hasLine "$p" "$writeStop")"
check "utf-16 odd include: nothing changed" "" "$(unchanged "$p")"
check "utf-16 odd include: data kept" kept "$(dataKept "$p")"

# ---- sizes ----

# A 10 MB line in the form (a comment) and in the user's event code (a data line).
p="$work/longline"
newProject "$p"
perl -e 'print "; ", "x" x 10000000, "\n"' >> "$p/form.pb"
perl -e 'print "DataSection\n  Data.s \"", "y" x 10000000, "\"\nEndDataSection\n"' >> "$p/EventGadget.pb"
generate "$p"
check "10 MB line: status" 0 "$(status "$p")"
check "10 MB line: ready" 1 "$(hasLine "$p" "Ready.")"
check "10 MB line: kept whole" "$(grep '^  Data.s' "$(before "$p" EventGadget.pb)" | md5sum)" "$(grep '^  Data.s' "$p/EventGadget.pb" | md5sum)"
check "10 MB line: data kept" kept "$(dataKept "$p")"

# A form file of 200,000 lines: 200 windows of 20 gadgets and many other lines.
p="$work/manylines"
newProject "$p"
perl -e '
print "Enumeration\n", (map { "  #Win_$_\n" } 0 .. 199), "EndEnumeration\n";
for my $i (0 .. 199) {
  print "Procedure Open_Win_$i()\n  If OpenWindow(#Win_$i, 0, 0, 300, 200, \"W\", #PB_Window_SystemMenu)\n";
  print map { "    ButtonGadget(#B_$_, 10, 10, 100, 20, \"OK\")\n" } 0 .. 19;
  print map { "    ; layout note $_\n" } 0 .. 973;
  print "  EndIf\nEndProcedure\n";
}' > "$p/big.pb"
addToList "$p" "$p/big.pb"
check "200,000 lines: size" 199802 "$(wc -l < "$p/big.pb")"
generate "$p"
check "200,000 lines: status" 0 "$(status "$p")"
check "200,000 lines: windows" 1 "$(hasLine "$p" " -> Count Window: 201")"
check "200,000 lines: gadgets" 1 "$(hasLine "$p" " -> Count Gadget: 4001")"
check "200,000 lines: data kept" kept "$(dataKept "$p")"

# ---- the project file ----

p="$work/garbage"
mkdir -p "$p"
randomBytes 11 4096 > "$p/demo.pbm"
generate "$p"
check "random project: status" 1 "$(status "$p")"
check "random project: log" $'- Load Files...\nNone Files to Generate.\nCancel.' "$(tail -4 "$(aux "$p").log" | head -3)"
check "random project: nothing written" "demo.pbm" "$(ls -A "$p")"
check "random project: untouched" 0 "$(cmp -s "$p/demo.pbm" "$(before "$p" demo.pbm)"; echo $?)"

# ---- files and folders that cannot be written ----

# Run as root, permissions stop no write: the immutable flag does. Where neither
# works, the engine's own tests cover refused writes with an in-memory folder.
p="$work/readonlydir"
newProject "$p"
renameWindow "$p"
if freeze "$p"; then
  generate "$p" "${BIND[@]}"
  thaw "$p"
  check "read-only folder: status" "1 0" "$(warned "$p")"
  check "read-only folder: include logged" 1 "$(hasLine "$p" " -> Error WriteFile $p/user.pbi / Errorcode: 1")"
  check "read-only folder: stopped in the source update" "1 0" \
    "$(hasLine "$p" "$writeStop") $(hasLine "$p" "Generate Code Step 4 ...")"
  check "read-only folder: nothing changed" "" "$(unchanged "$p")"
  check "read-only folder: data kept" kept "$(dataKept "$p")"
else
  echo "SKIP read-only folder: cannot make $p unwritable here (chattr +i needs a file system that supports it)"
fi

p="$work/readonlyevents"
newProject "$p"
sed -i 's/Button_0/Button_1/' "$p/form.pb"  # a new gadget: EventGadget.pb would grow
if freeze "$p/EventGadget.pb"; then
  generate "$p" --allow-unbound
  thaw "$p/EventGadget.pb"
  check "read-only EventGadget.pb: status" "1 0" "$(warned "$p")"
  check "read-only EventGadget.pb: logged" 1 "$(hasLine "$p" " -> Error File $p/EventGadget.pb / Errorcode: 1")"
  check "read-only EventGadget.pb: stopped" 1 "$(hasLine "$p" "$writeStop")"
  check "read-only EventGadget.pb: others tried" 1 "$(hasLine "$p" " -> Write File $p/EventWindow.pb")"
  check "read-only EventGadget.pb: nothing changed" "" "$(unchanged "$p")"
  check "read-only EventGadget.pb: data kept" kept "$(dataKept "$p")"
else
  echo "SKIP read-only EventGadget.pb: cannot make it unwritable here"
fi

# ---- folders where files belong ----

p="$work/maindir"
newProject "$p"
rm "$p/Main.pb"
mkdir "$p/Main.pb"
generate "$p"
check "Main.pb folder: status" "1 0" "$(warned "$p")"
check "Main.pb folder: logged" 1 "$(hasLine "$p" " -> Error File $p/Main.pb / Errorcode: 1")"
check "Main.pb folder: still a folder" yes "$([ -d "$p/Main.pb" ] && echo yes)"
check "Main.pb folder: data kept" kept "$(dataKept "$p")"

p="$work/includedir"
newProject "$p"
rm "$p/user.pbi"
mkdir "$p/user.pbi"
renameWindow "$p"
generate "$p" "${BIND[@]}"
check "include folder: status" "0 1" "$(warned "$p")"
check "include folder: logged" 1 "$(hasLine "$p" " -> Error OpenFile $p/user.pbi / Errorcode: 1")"
check "include folder: still a folder" yes "$([ -d "$p/user.pbi" ] && echo yes)"
check "include folder: event code renamed" 1 "$(grep -c '^      Debug "user code " + Str(#Frame_Button_0)$' "$p/EventGadget.pb")"
check "include folder: data kept" kept "$(dataKept "$p")"

# An include file shared with other projects through a symbolic link: the rename
# reaches the shared file and the link stays a link.
p="$work/linked"
newProject "$p"
mkdir -p "$work/shared"
mv "$p/user.pbi" "$work/shared/user.pbi"
ln -s ../shared/user.pbi "$p/user.pbi"
cp "$work/shared/user.pbi" "$work/shared.before"
renameWindow "$p"
generate "$p" "${BIND[@]}"
check "linked include: status" 0 "$(status "$p")"
check "linked include: still a link" yes "$([ -L "$p/user.pbi" ] && echo yes)"
check "linked include: shared file renamed" 1 "$(grep -c '^  Open_Frame()$' "$work/shared/user.pbi")"
check "linked include: old content in Backup" 0 "$(cmp -s "$p/Backup/user.pbi" "$work/shared.before"; echo $?)"

# ---- a disk that fills up ----

# The project on a small RAM disk with a large event file: the backup copies run out of
# room part way, so the run stops before it changes anything.
if [ "$(id -u)" = 0 ] && mkdir -p "$work/disk" && mount -t tmpfs -o size=700k tmpfs "$work/disk" 2> /dev/null; then
  mounted="$work/disk"
  p="$work/disk/full"
  newProject "$p"
  perl -e 'print "Procedure UserData()\n", (map { "  Debug \"line $_ " . ("z" x 40) . "\"\n" } 0 .. 5999), "EndProcedure\n"' \
    >> "$p/EventGadget.pb"
  rm -rf "$p/Backup"
  renameWindow "$p"
  generate "$p" "${BIND[@]}"
  check "full disk: status" "1 0" "$(warned "$p")"
  check "full disk: backup refused" 1 "$(hasLine "$p" "- Error CopyDirectory")"
  check "full disk: stopped" 1 "$(hasLine "$p" " -> Error: no backup, no file was changed. Stop!")"
  check "full disk: nothing changed" "" "$(unchanged "$p")"
  check "full disk: data kept" kept "$(dataKept "$p")"
  check "full disk: no temporary files left" "" "$(cd "$p" && ls -A . Backup | grep '\.tw-')"
else
  echo "SKIP full disk: no RAM disk can be mounted here (needs root and mount -t tmpfs)"
fi

finish
