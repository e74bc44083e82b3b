#!/usr/bin/env bash
# What the PureBasic IDE hands a tool, without a display: a folder, a form file and a
# PureBasic project (*.pbp) for --generate, and --ide with a file or with only the IDE's
# open project in PB_TOOL_Project.
set -u
. "$(dirname "$0")/checks.sh"
startWork "$1"
SRC=$(realpath "$2")
unset DISPLAY PB_TOOL_Project
# Runs the program with the arguments; the exit status on stdout, the log in out, stderr in err.
gen() { "$APP" "$@" --config-dir "$work/cfg" > "$work/out" 2> "$work/err"; echo $?; }

# A folder and a form file lead to the project that lists the form.
a="$work/a"
oneButtonProject "$a"
check "a folder" "0 Ready." "$(gen --generate "$a") $(grep -x 'Ready.' "$work/out")"
check "a form file" "0 Ready." "$(gen --generate "$a/form.pb") $(grep -x 'Ready.' "$work/out")"
cp "$a/demo.pbm" "$a/other.pbm"
check "two projects in the folder" "2" "$(gen --generate "$a")"
check "are named" "tarnwick: Several Tarnwick projects in $a/: demo.pbm, other.pbm; name one of them" "$(cat "$work/err")"
rm "$a/other.pbm"

# A .pbp without its project: App.pbm is made of its form files, with relative rows.
b="$work/b"
mkdir -p "$b/forms"
cp "$SRC/examples/demo/Editor.pbf" "$SRC/examples/demo/logo.png" "$b/"
sed 's/Window_0/Second/g' "$SRC/examples/demo/Editor.pbf" > "$b/forms/Second.pbf"
cat > "$b/App.pbp" << 'XML'
<?xml version="1.0" encoding="UTF-8"?>

<project xmlns="http://www.purebasic.com/namespace" version="1.0" creator="PureBasic">
  <section name="files">
    <file name="main.pb">
      <config load="0" scan="1" panel="1" warn="1" lastopen="1"/>
    </file>
    <file name="Editor.pbf"/>
    <file name="forms\Second.pbf"/>
  </section>
  <section name="targets">
    <target name="Default Target" enabled="1" default="1">
      <inputfile value="main.pb"/>
    </target>
  </section>
</project>
XML
cp "$b/App.pbp" "$work/App.pbp.before"
check "--ide with the IDE's project only" 0 "$(cd "$b" && PB_TOOL_Project="$b/App.pbp" gen --ide)"
check "says it made the project" "New project $b/App.pbm made from App.pbp with 2 form files.|Generate Code Step 1 ..." \
  "$(head -2 "$work/out" | paste -sd'|')"
check "with relative rows" $'[FILES]\nEditor.pbf\nforms/Second.pbf' "$(sed -n 1,3p "$b/App.pbm")"
check "and both windows" $'Window_0\nSecond' "$(sed -n '/^\[WINDOW\]/,/^$/p' "$b/App.pbm" | sed '1d;/^$/d')"
check "the .pbp is never written" "" "$(cmp "$b/App.pbp" "$work/App.pbp.before")"
check "the skeleton beside the forms" 6 "$(ls "$b" | grep -c -x -e Main.pb -e CommonFile.pb -e EventMain.pb -e EventMenu.pb \
  -e EventGadget.pb -e EventWindow.pb)"

# With its project, the .pbp and a form it lists lead there; nothing is made again.
check "--ide with a form file" "0 Generate Code Step 1 ..." "$(gen --ide "$b/Editor.pbf") $(head -1 "$work/out")"
check "--ide with a form of a subfolder: the IDE's project" "0 Generate Code Step 1 ..." \
  "$(PB_TOOL_Project="$b/App.pbp" gen --ide "$b/forms/Second.pbf") $(head -1 "$work/out")"
check "--generate with the .pbp" "0 Ready." "$(gen --generate "$b/App.pbp") $(grep -x 'Ready.' "$work/out")"

# A form the IDE saves outside any project: the IDE's project, when it lists none here.
sed -i 's/^Window_0$/Old_0/' "$b/App.pbm"
: > "$b/main.pb"
check "a source file leads to its folder's project" 1 "$(PB_TOOL_Project=/nowhere.pbp gen --ide "$b/main.pb")"
check "whose question has no window here: it cancels as --generate does" \
  "Unbound old Window names: Old_0|Cancel." "$(head -1 "$work/err")|$(grep -x 'Cancel.' "$work/out")"
# A display that cannot be opened is no display.
check "an unusable display" 1 "$(DISPLAY=:65000 gen --ide "$b/Editor.pbf")"
check "nor a file given" 2 "$(gen --ide)"

echo '<project><section name="files">' > "$work/Bad.pbp"
check "a malformed .pbp" 2 "$(gen --generate "$work/Bad.pbp")"
check "is refused with its line" "tarnwick: The PureBasic project $work/Bad.pbp cannot be read: line 2: no element found" \
  "$(cat "$work/err")"
check "and makes nothing" "absent" "$([ -e "$work/Bad.pbm" ] || echo absent)"
finish
