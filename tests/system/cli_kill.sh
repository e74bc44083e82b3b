#!/usr/bin/env bash
# A rename run killed with SIGKILL at every point where it changes a file: after each
# kill, every user file holds either its whole old or its whole new content, a file
# that changed has its old content in Backup, and a run started again afterwards ends
# with the same files as a run that was never interrupted.
#
# The kill points are deterministic where strace can inject a signal into a syscall
# (the n-th rename, fsync, write or open of the run); without strace the run is killed
# after growing delays instead.
set -u
APP=$(realpath "$1")
# On a RAM disk where there is one: the run syncs every file it writes.
work=$(mktemp -d -p /dev/shm 2> /dev/null || mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
. "$(dirname "$0")/checks.sh"
fail() { fails=$((fails + 1)); printf 'FAIL %s\n' "$1"; }

WINDOWS=8
GADGETS=6
INCLUDES=3

mkdir -p "$work/cfg" "$work/p"
p="$work/p"
cd "$p" || exit 1

# A form with many windows and gadgets, so that the event files are sizeable.
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

# User code in every gadget procedure and in include files that name every window.
sed -i 's/^    Case #PB_EventType_LeftClick$/&\n      Debug "clicked"/' EventGadget.pb
includes=""
for ((i = 0; i < INCLUDES; i++)); do
  {
    for ((w = 0; w < WINDOWS; w++)); do
      printf 'Procedure Again_%s_%s()\r\n  Open_Window_%s()\r\n  SetGadgetText(#Window_%s_Button_1, "x")\r\nEndProcedure\r\n' "$i" "$w" "$w" "$w"
    done
  } > "user$i.pbi"
  includes+="IncludeFile \"user$i.pbi\"\\n"
done
sed -i "s/^;IncludeFile \"???.pb\"\$/${includes}/" Main.pb
check "include lines in Main.pb" "$INCLUDES" "$(grep -c '^IncludeFile "user' Main.pb)"

# Every window renamed in the form, and new button texts for the language files; the
# bindings carry the renames into the sources.
sed -i 's/Window_\([0-9]*\)/Frame\1/g; s/"B\([0-9]*\)"/"Press \1"/' form.pb
binds=()
for ((w = 0; w < WINDOWS; w++)); do binds+=(--bind "Window:Window_$w=Frame$w"); done

# The state before the run: the project folder with the Backup of the first run.
cp -a "$p" "$work/old"
userFiles=(demo.pbm Main.pb CommonFile.pb EventMain.pb EventMenu.pb EventGadget.pb EventWindow.pb form.pb LoadLanguage.pb)
for ((i = 0; i < INCLUDES; i++)); do userFiles+=("user$i.pbi"); done

# The translations: no "*.pb*" name, so Backup holds no copy of them.
otherFiles=(Catalog)

restore() { cd "$work" && rm -rf "$p" && cp -a "$work/old" "$p" && cd "$p"; }
run() { "$@" "$APP" --generate demo.pbm --config-dir "$work/cfg" "${binds[@]}"; }

# The uninterrupted run gives the new content of every file.
run > "$work/new.log" 2>&1
check "uninterrupted run" 0 $?
cp -a "$p" "$work/new"
same=""
for f in "${userFiles[@]}"; do cmp -s "$work/old/$f" "$work/new/$f" && same+=" $f"; done
for f in "${otherFiles[@]}"; do cmp -s "$work/old/$f" "$work/new/$f" && same+=" $f"; done
# Every file but the form and the menu events (there are no menus) changes, so every
# one of them can be caught half way.
check "files the run leaves alone" " EventMenu.pb form.pb" "$same"
check "include file renamed" "$WINDOWS" "$(grep -c '^  Open_Frame[0-9]*()$' "$work/new/user0.pbi")"

# The state after a kill, checked file by file.
checkState() {  # label
  local f bad=""
  for f in "${otherFiles[@]}"; do
    cmp -s "$p/$f" "$work/old/$f" || cmp -s "$p/$f" "$work/new/$f" || bad+=" $f:torn"
  done
  for f in "${userFiles[@]}"; do
    if cmp -s "$p/$f" "$work/old/$f"; then :
    elif cmp -s "$p/$f" "$work/new/$f"; then
      # Changed: its old content must be safe in Backup.
      cmp -s "$p/Backup/$f" "$work/old/$f" || bad+=" $f:no-backup"
    else
      bad+=" $f:torn"
    fi
    # A backup copy is the one of the first run or a whole copy of the old file.
    if [ -e "$p/Backup/$f" ] && ! cmp -s "$p/Backup/$f" "$work/old/$f" && ! cmp -s "$p/Backup/$f" "$work/old/Backup/$f"; then
      bad+=" Backup/$f:torn"
    fi
  done
  # Nothing but the project's files lands in Backup. A kill may leave the hidden
  # temporary file of an unfinished write, named after its target; no other file.
  local name known
  for name in $(cd "$p" && ls -A) $(cd "$p/Backup" && ls -A); do
    known=no
    for f in "${userFiles[@]}" "${otherFiles[@]}" Backup; do [ "$name" = "$f" ] && known=yes; done
    case "$name" in .*.tw-??????) known=yes ;; esac
    [ "$known" = yes ] || bad+=" extra:$name"
  done
  if [ -z "$bad" ]; then passes=$((passes + 1)); else fail "$1:$bad"; fi
}

# After a kill a new run must reach the same files as the uninterrupted one.
checkRerun() {  # label
  local f bad=""
  run > "$work/rerun.log" 2>&1 || bad+=" exit=$?"
  for f in "${userFiles[@]}" "${otherFiles[@]}"; do cmp -s "$p/$f" "$work/new/$f" || bad+=" $f"; done
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
  strace -f -c -o "$work/count.txt" -e trace=rename,renameat,renameat2,fsync,write,openat,mkdir,unlink \
    "$APP" --generate demo.pbm --config-dir "$work/cfg" "${binds[@]}" > /dev/null 2>&1
  calls() { awk -v s="$1" '$NF == s { print ($4 ~ /^[0-9]+$/) ? $4 : $3 }' "$work/count.txt"; }
  for sc in rename renameat renameat2 mkdir unlink openat write; do
    n=$(calls "$sc")
    [ -z "$n" ] && continue
    step=1
    # Opens and writes are many (log lines, reads): a sample of them is enough,
    # since the renames already bound every file write.
    if [ "$sc" = openat ] || [ "$sc" = write ]; then step=$(((n + 5) / 6)); fi
    for ((k = 1; k <= n; k += step)); do
      killedRun "$sc#$k" strace -f -o /dev/null -e trace="$sc" -e inject="$sc:signal=KILL:when=$k" || continue
      # A rerun after every rename kill; that covers each partly written state.
      case "$sc" in rename*) checkRerun "$sc#$k" ;; esac
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
check "runs killed part way" yes "$([ "$kills" -ge 8 ] && echo yes || echo "only $kills")"

finish
