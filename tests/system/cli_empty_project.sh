#!/usr/bin/env bash
# The real program on projects that stop early: an empty file list, each byte-order
# mark of Main.pb, a missing project, usage errors.
set -u
. "$(dirname "$0")/checks.sh"
startWork "$1"

mkdir -p "$work/p"
printf '[FILES]\n\n[SWITCH]\nUtf8=0\n' > "$work/p/empty.pbm"
expected=$'Generate Code Step 1 ...\n- Check Main.pb\n -> Main.pb not found.\n- Load Files...\nNone Files to Generate.\nCancel.\n'
out=$(cd "$work/p" && "$APP" --generate empty.pbm --config-dir "$work/cfg"; echo "rc=$?")
check "empty project" "$expected"$'\n'"rc=1" "$out"
# The output ends with exactly one empty line.
(cd "$work/p" && "$APP" --generate empty.pbm --config-dir "$work/cfg" > "$work/raw.txt")
check "final empty line" "$(printf 'Cancel.\n\n' | od -c)" "$(tail -c 9 "$work/raw.txt" | od -c)"
check "config dir untouched" "" "$(ls "$work/cfg")"

declare -A marks=(
  ["efbbbf"]=" -> UTF-8 BOM found."
  ["fffe0000"]=" -> UTF-32 (Little Endian) BOM found."
  ["0000feff"]=" -> UTF-32 (Big Endian) BOM found."
  ["fffe"]=" -> UTF-16 (Little Endian) BOM found."
  ["feff"]=" -> UTF-16 (Big Endian) BOM found."
  ["41"]=" -> No BOM found."
)
for hex in "${!marks[@]}"; do
  printf '%s' "$hex" | xxd -r -p > "$work/p/Main.pb" 2>/dev/null || printf "$(echo "$hex" | sed 's/../\\x&/g')" > "$work/p/Main.pb"
  line=$("$APP" --generate "$work/p/empty.pbm" --config-dir "$work/cfg" | sed -n 3p)
  check "mark $hex" "${marks[$hex]}" "$line"
done

out=$("$APP" --generate "$work/p/missing.pbm" 2>&1 >/dev/null; echo "rc=$?")
check "missing project" "Error open file project: $work/p/missing.pbm"$'\n'"rc=2" "$out"
"$APP" --frobnicate >/dev/null 2>&1; check "unknown option" 2 $?
"$APP" --generate >/dev/null 2>&1; check "missing value" 2 $?
"$APP" --generate x.pbm --bind Nope:A=B >/dev/null 2>&1; check "bad kind" 2 $?
"$APP" --help | grep -q -- "--generate PROJECT.pbm"; check "help" 0 $?
check "help says first what the program does" \
  "Tarnwick writes the event-handling layer of a PureBasic application from its form code." "$("$APP" --help | head -1)"
check "version" "tarnwick 5.17" "$("$APP" --version)"

finish
