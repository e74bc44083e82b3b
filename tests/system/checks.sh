# Shared by the system test scripts: counting checks, and the small one-window project
# that several of them start from. Source it; each script prints its summary with
# `finish` as its last command.
passes=0
fails=0
check() {  # name, expected, actual
  if [ "$2" == "$3" ]; then passes=$((passes + 1)); else fails=$((fails + 1)); printf 'FAIL %s\n--- expected\n%s\n--- actual\n%s\n' "$1" "$2" "$3"; fi
}
count() { grep -c -- "$1" "$2"; }  # pattern, file: matching lines
finish() {
  echo "$passes passed, $fails failed"
  [ "$fails" -eq 0 ]
}

# oneButtonProject DIR: a form file with one window and one button, and the project
# file demo.pbm listing it with every switch written out.
oneButtonProject() {
  local p=$1
  mkdir -p "$p"
  cat > "$p/form.pb" <<'PB'
Enumeration
  #Window_0
EndEnumeration

Enumeration
  #Button_0
EndEnumeration

Procedure Open_Window_0()
  If OpenWindow(#Window_0, 100, 100, 300, 200, "Demo", #PB_Window_SystemMenu)
    ButtonGadget(#Button_0, 10, 10, 100, 20, "OK")
  EndIf
EndProcedure
PB
  printf '[FILES]\n%s\n\n[SWITCH]\nParend=1\nPB_Ignore=1\nMultilang=0\nImage_Include=0\nImage_Null=0\nUseCallFast=1\nUtf8=1\n' \
    "$p/form.pb" > "$p/demo.pbm"
}
