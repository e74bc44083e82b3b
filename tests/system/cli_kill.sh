#!/usr/bin/env bash
# A rename run killed with SIGKILL at each of its renames and fsyncs (and at a sample
# of its opens and writes): after each kill every user file holds either its whole old
# or its whole new content, and one that changed has its old content in Backup; the
# same run started again afterwards leaves exactly the files of a run that was never
# interrupted, Backup, hidden files and the include file outside the project included.
#
# A restore killed the same way and started again ends with exactly the files of a
# restore that was never interrupted: it completes itself rather than restoring twice,
# and leaves no hidden copy beside any include file.
#
# The kill points are deterministic where strace can inject a signal into a syscall;
# without strace the run is killed after growing delays instead.
set -u
APP=$(realpath "$1")
# On a RAM disk where there is one: the run syncs every file it writes.
work=$(mktemp -d -p /dev/shm 2> /dev/null || mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
. "$(dirname "$0")/checks.sh"
fail() { fails=$((fails + 1)); printf 'FAIL %s\n' "$1"; }

WINDOWS=4
GADGETS=4

mkdir -p "$work/cfg" "$work/p/sub" "$work/lib"
p="$work/p"
cd "$p" || exit 1

# A form with several windows and gadgets.
{
  echo "Enumeration"
  for ((w = 0; w < WINDOWS; w++)); do echo "  #Window_$w"; done
  echo "EndEnumeration"
  echo
  echo "Enumeration"
  for ((g = 0; g < GADGETS; g++)); do echo "  #Button_$g"; done
  echo "EndEnumeration"
  echo
  for ((w = 0; w < WINDOWS; w++)); do
    echo "Procedure Open_Window_$w()"
    echo "  If OpenWindow(#Window_$w, 100, 100, 300, 200, \"Window $w\", #PB_Window_SystemMenu)"
    for ((g = 0; g < GADGETS; g++)); do echo "    ButtonGadget(#Button_$g, 10, $((g * 22)), 100, 20, \"B$g\")"; done
    echo "  EndIf"
    echo "EndProcedure"
    echo
  done
} > form.pb
printf '[FILES]\n%s\n\n[SWITCH]\nParend=1\nPB_Ignore=1\nMultilang=1\nImage_Include=0\nImage_Null=0\nUseCallFast=1\nUtf8=1\n' \
  "$p/form.pb" > demo.pbm
"$APP" --generate demo.pbm --config-dir "$work/cfg" > "$work/first.log" 2>&1
check "first run" 0 $?

# User code in every gadget procedure, and include files that name every window: one
# beside Main.pb, one in a subfolder, one outside the project.
sed -i 's/^    Case #PB_EventType_LeftClick$/&\n      Debug "clicked"/' EventGadget.pb
userCode() {
  for ((w = 0; w < WINDOWS; w++)); do
    printf 'Procedure Again_%s_%s()\r\n  Open_Window_%s()\r\n  SetGadgetText(#Window_%s_Button_1, "x")\r\nEndProcedure\r\n' "$1" "$w" "$w" "$w"
  done
}
userCode 0 > user.pbi
userCode 1 > sub/deep.pbi
userCode 2 > "$work/lib/shared.pbi"
sed -i "s|^;IncludeFile \"???.pb\"\$|IncludeFile \"user.pbi\"\\nIncludeFile \"sub/deep.pbi\"\\nIncludeFile \"../lib/shared.pbi\"|" Main.pb
check "include lines in Main.pb" 3 "$(grep -c '^IncludeFile ".*\.pbi"' Main.pb)"

# Every window renamed in the form, and new button texts for the language files; the
# bindings carry the renames into the sources.
sed -i 's/Window_\([0-9]*\)/Frame\1/g; s/"B\([0-9]*\)"/"Press \1"/' form.pb
binds=()
for ((w = 0; w < WINDOWS; w++)); do binds+=(--bind "Window:Window_$w=Frame$w"); done

# The state before the run: the project folder with the Backup of the first run, and
# the include file outside it.
snapshot() { rm -rf "$1" && mkdir -p "$1" && cp -a "$p" "$1/p" && cp -a "$work/lib" "$1/lib"; }
restore() { cd "$work" && rm -rf "$p" "$work/lib" && cp -a "$work/old/p" "$p" && cp -a "$work/old/lib" "$work/lib" && cd "$p"; }
snapshot "$work/old"
userFiles=(demo.pbm Main.pb CommonFile.pb EventMain.pb EventMenu.pb EventGadget.pb EventWindow.pb form.pb
  LoadLanguage.pb Catalog user.pbi sub/deep.pbi)
run() { "$@" "$APP" --generate demo.pbm --config-dir "$work/cfg" "${binds[@]}"; }

# The uninterrupted run gives the new content of every file.
run > "$work/new.log" 2>&1
check "uninterrupted run" 0 $?
snapshot "$work/new"
same=""
for f in "${userFiles[@]}"; do cmp -s "$work/old/p/$f" "$p/$f" && same+=" $f"; done
cmp -s "$work/old/lib/shared.pbi" "$work/lib/shared.pbi" && same+=" shared.pbi"
# Every file but the form and the menu events (there are no menus) changes, so every
# one of them can be caught half way.
check "files the run leaves alone" " EventMenu.pb form.pb" "$same"
check "include files renamed" "$WINDOWS $WINDOWS $WINDOWS" \
  "$(for f in user.pbi sub/deep.pbi ../lib/shared.pbi; do grep -c '^  Open_Frame[0-9]*()$' "$p/$f"; done | paste -sd' ')"

# The state right after a kill: each file old or new, never torn, and a new one backed
# up. The backup copies of files below the project folder keep their place in Backup;
# the one outside it lies below Backup/external.
backupOf() { case "$1" in "$work"/*) echo "$p/Backup/external${1}" ;; *) echo "$p/Backup/$1" ;; esac; }
checkState() {  # label
  local f bad="" old new here
  for f in "${userFiles[@]}" "$work/lib/shared.pbi"; do
    case "$f" in /*) here=$f; old=$work/old/lib/${f##*/}; new=$work/new/lib/${f##*/} ;;
      *) here=$p/$f; old=$work/old/p/$f; new=$work/new/p/$f ;; esac
    if cmp -s "$here" "$old"; then :
    elif cmp -s "$here" "$new"; then
      cmp -s "$(backupOf "$f")" "$old" || bad+=" $f:no-backup"
    else
      bad+=" $f:torn"
    fi
  done
  if [ -z "$bad" ]; then passes=$((passes + 1)); else fail "$1:$bad"; fi
}

# After a kill the same run again must leave exactly the files of the uninterrupted one.
checkRerun() {  # label
  local bad=""
  run > "$work/rerun.log" 2>&1 || bad+=" exit=$?"
  diff -r "$work/new/p" "$p" > "$work/diff.txt" 2>&1 || bad+=" $(head -3 "$work/diff.txt" | tr '\n' ' ')"
  diff -r "$work/new/lib" "$work/lib" > "$work/diff.txt" 2>&1 || bad+=" $(head -3 "$work/diff.txt" | tr '\n' ' ')"
  if [ -z "$bad" ]; then passes=$((passes + 1)); else fail "$1 rerun:$bad"; fi
}

kills=0
killedRun() {  # label, command prefix...
  local label=$1
  shift
  restore
  run "$@" > "$work/kill.log" 2>&1
  local rc=$?
  if [ "$rc" -eq 0 ]; then return 1; fi  # the run ended before the kill point
  kills=$((kills + 1))
  checkState "$label"
  return 0
}

if strace -o /dev/null -e inject=getpid:signal=KILL true 2> /dev/null; then
  # Count the syscalls of a whole run, then kill the run at each of them in turn.
  restore
  strace -f -c -o "$work/count.txt" -e trace=rename,renameat,renameat2,fsync,fdatasync,write,openat,unlink \
    "$APP" --generate demo.pbm --config-dir "$work/cfg" "${binds[@]}" > /dev/null 2>&1
  calls() { awk -v s="$1" '$NF == s { print ($4 ~ /^[0-9]+$/) ? $4 : $3 }' "$work/count.txt"; }
  for sc in rename renameat renameat2 fsync fdatasync unlink openat write; do
    n=$(calls "$sc")
    [ -z "$n" ] && continue
    step=1
    # Opens and writes are many (log lines, reads): a sample of them is enough, since
    # the fsyncs and renames already bound every file write.
    if [ "$sc" = openat ] || [ "$sc" = write ]; then step=$(((n + 5) / 6)); fi
    for ((k = 1; k <= n; k += step)); do
      killedRun "$sc#$k" strace -f -o /dev/null -e trace="$sc" -e inject="$sc:signal=KILL:when=$k" && checkRerun "$sc#$k"
    done
  done
else
  echo "strace cannot inject signals here: killing after growing delays instead"
  # Delays spread over the time an uninterrupted run takes.
  restore
  start=$(date +%s%N)
  run > /dev/null 2>&1
  took=$((($(date +%s%N) - start) / 1000))  # microseconds
  for ((k = 1; k <= 24; k++)); do
    delay=$(awk -v us=$((took * k / 25)) 'BEGIN { printf "%.6f", us / 1e6 }')
    killedRun "after ${delay}s" timeout -s KILL "$delay" && checkRerun "after ${delay}s"
  done
fi
check "runs killed part way" yes "$([ "$kills" -ge 20 ] && echo yes || echo "only $kills")"

# ---- restores ----
putBack() { cd "$work" && rm -rf "$p" "$work/lib" && cp -a "$1/p" "$p" && cp -a "$1/lib" "$work/lib" && cd "$p"; }
restoreRun() { "$@" "$APP" --restore demo.pbm; }
putBack "$work/new"
restoreRun > "$work/restore.log" 2>&1
check "uninterrupted restore" 0 $?
check "restore puts the old files back" "" \
  "$(for f in "${userFiles[@]}"; do cmp -s "$work/old/p/$f" "$p/$f" || echo "$f"; done)"
snapshot "$work/restored"

restoreKills=0
killedRestore() {  # label, command prefix...
  local label=$1 bad=""
  shift
  putBack "$work/new"
  restoreRun "$@" > "$work/kill.log" 2>&1 && return 0  # ended before the kill point
  restoreKills=$((restoreKills + 1))
  # Killed after its last rename: the restore is done, and a second one would redo the run.
  if [ ! -e "$p/.tarnwick-journal" ] && diff -r "$work/restored/p" "$p" > /dev/null 2>&1 &&
    diff -r "$work/restored/lib" "$work/lib" > /dev/null 2>&1; then
    passes=$((passes + 1))
    return 0
  fi
  restoreRun > "$work/rerun.log" 2>&1 || bad+=" exit=$?"
  diff -r "$work/restored/p" "$p" > "$work/diff.txt" 2>&1 || bad+=" $(head -3 "$work/diff.txt" | tr '\n' ' ')"
  diff -r "$work/restored/lib" "$work/lib" > "$work/diff.txt" 2>&1 || bad+=" $(head -3 "$work/diff.txt" | tr '\n' ' ')"
  if [ -z "$bad" ]; then passes=$((passes + 1)); else fail "restore $label:$bad"; fi
}

if strace -o /dev/null -e inject=getpid:signal=KILL true 2> /dev/null; then
  putBack "$work/new"
  strace -f -c -o "$work/count.txt" -e trace=rename,renameat,renameat2,fsync,unlink,openat \
    "$APP" --restore demo.pbm > /dev/null 2>&1
  for sc in rename renameat renameat2 fsync unlink openat; do
    n=$(calls "$sc")
    [ -z "$n" ] && continue
    step=1
    if [ "$sc" = openat ]; then step=$(((n + 5) / 6)); fi
    for ((k = 1; k <= n; k += step)); do
      killedRestore "$sc#$k" strace -f -o /dev/null -e trace="$sc" -e inject="$sc:signal=KILL:when=$k"
    done
  done
else
  putBack "$work/new"
  start=$(date +%s%N)
  restoreRun > /dev/null 2>&1
  took=$((($(date +%s%N) - start) / 1000))
  for ((k = 1; k <= 12; k++)); do
    killedRestore "after ${k}/13" timeout -s KILL "$(awk -v us=$((took * k / 13)) 'BEGIN { printf "%.6f", us / 1e6 }')"
  done
fi
check "restores killed part way" yes "$([ "$restoreKills" -ge 10 ] && echo yes || echo "only $restoreKills")"

finish
