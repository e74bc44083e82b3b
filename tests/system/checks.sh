# Shared by the system test scripts: counting checks, and the small one-window project
# that several of them start from. Source it; each script prints its summary with
# `finish` as its last command.
passes=0
fails=0
# startWork PROGRAM: APP, the program's absolute path; $work, a folder removed when the
# script ends; and $work/cfg, the settings folder of every run.
startWork() {
  APP=$(realpath "$1")
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/cfg"
}
check() {  # name, expected, actual
  if [ "$2" == "$3" ]; then passes=$((passes + 1)); else fails=$((fails + 1)); printf 'FAIL %s\n--- expected\n%s\n--- actual\n%s\n' "$1" "$2" "$3"; fi
}
count() { grep -c -- "$1" "$2"; }  # pattern, file: matching lines
finish() {
  echo "$passes passed, $fails failed"
  [ "$fails" -eq 0 ]
}

# undeclaredConstants FILE: the constants that the code of a generated CommonFile.pb
# uses (outside strings and comments) but none of its enumerations declares;
# PureBasic's own constants are left out. Empty when the file declares all it uses.
undeclaredConstants() {
  perl -ne '
    if (/^Enumeration/ .. /^EndEnumeration/) { $declared{lc $1} = 1 if /^\s+#(\w+)\s*$/; next }
    s/~"(?:\\.|[^"\\])*"|"[^"]*"|\x27[^\x27]*\x27//g;
    s/;.*//;
    $declared{lc $1} = 1 while /(?:^|:)\s*#(\w+)\$?\s*=/g;
    $used{lc $1} //= $1 while /(?<!::)#(\w+)(?![\w\$])/g;
    END { print join(" ", sort grep { !$declared{lc $_} && !/^(PB_\w+|True|False)$/ } values %used) }' "$1"
}
# undeclaredVariables DIR: the variables that keep windows and gadgets in the generated
# files of DIR (Name = XGadget(#PB_Any, ...) and WindowID(Name) in CommonFile.pb, the
# Case lines without "#" of EventMain.pb, CloseWindow(Name) in EventWindow.pb and
# IsWindow(Name) in Main.pb) that no Global line of CommonFile.pb declares. Empty when
# every such variable is declared.
undeclaredVariables() {
  perl -e '
    sub lines { open(my $f, "<", $_[0]) or die "$_[0]"; my @l = <$f>; s/;.*// for @l; @l }
    my $d = shift;
    my (%declared, %used);
    for (lines("$d/CommonFile.pb")) {
      if (/^Global\s+(.*)/) { $declared{lc $_} = 1 for split /\s*,\s*/, $1; next }
      $used{lc $1} //= $1 if /^\s*(\w+)(?:\.\w+)?\s*=\s*\w+\(#PB_Any\b/i;
      $used{lc $1} //= $1 while /WindowID\((\w+)\)/g;
    }
    for (lines("$d/EventMain.pb")) { $used{lc $1} //= $1 if /^\s*Case\s+(\w+)\s*:/ }
    for (lines("$d/EventWindow.pb")) { $used{lc $1} //= $1 while /CloseWindow\((\w+)\)/g }
    for (lines("$d/Main.pb")) { $used{lc $1} //= $1 while /IsWindow\((\w+)\)/g }
    print join(" ", sort grep { !$declared{lc $_} } values %used)' "$1"
}
# dispatchFaults DIR: what keeps EventMain.pb of DIR from calling each event procedure
# of the event files from exactly one place: a procedure called from none or several,
# a call of a procedure that is not defined, a table count that differs from its table.
# Empty when the dispatch is sound, in either of its forms.
dispatchFaults() {
  perl -e '
    my $d = shift;
    my %defined;
    for my $f (qw(EventMenu EventGadget EventWindow)) {
      open(my $h, "<", "$d/$f.pb") or die $f;
      while (<$h>) { $defined{$1} = 1 if /^Procedure\s+(Event\w+)\(/ }
    }
    open(my $h, "<", "$d/EventMain.pb") or die "EventMain";
    my (%calls, %count, %rows, $table);
    while (<$h>) {
      s/;.*//;
      $count{$1} = $2 if /^#CallEvent(\w+)Count\s*=\s*(\d+)/;
      $table = $1 if /^\s*CallEvent(\w+):/;
      $rows{$table}++ if $table && /^\s*Data\.i\s/;
      $calls{$1}++ while /\b(Event(?:Menu|Gadget|Size|Exit)_\w+)\(/g;
    }
    my @faults;
    push @faults, "$_ called " . ($calls{$_} // 0) . " times" for grep { ($calls{$_} // 0) != 1 } sort keys %defined;
    push @faults, "$_ not defined" for grep { !$defined{$_} } sort keys %calls;
    for my $kind (sort keys %count) {
      my @tables = $kind eq "Window" ? ("Size", "Exit") : ($kind);
      push @faults, "$kind count $count{$kind}, table $_ " . ($rows{$_} // 0)
        for grep { ($rows{$_} // 0) != $count{$kind} } @tables;
    }
    print join("\n", @faults)' "$1"
}
# mainCall DIR: the first call of the main procedure of DIR/Main.pb, and 1 when
# DIR/CommonFile.pb defines that procedure (0 when not).
mainCall() {
  local call
  call=$(awk '/^Procedure Main\(\)/ { inMain = 1; next } inMain && NF { print $1; exit }' "$1/Main.pb")
  echo "$call $(grep -ciE "^\s*Procedure(C|DLL|CDLL)?(\.\w+)?\s+${call%()}\s*\(" "$1/CommonFile.pb")"
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
