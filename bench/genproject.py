#!/usr/bin/env python3
"""Writes a synthetic form project for timing tarnwick --generate.

Commands used by bench/run:

  forms DIR --windows W [--renamed] [--gadgets G] [--numbered]
      Form files (old-style .pb and designer .pbf, ten windows per file), the project
      file DIR/bench.pbm, user include files under DIR/user and an empty config folder.
      With --renamed the same forms come out with some windows, gadgets and menu items
      renamed, and DIR/binds.txt lists the matching --bind options, one per line.
      --gadgets sets the gadgets per window (default 100). --numbered names the windows
      Window_0, Window_1, ... as the designer does, so that every window name begins
      like every other, and --renamed then renames every window (to Form_0, ...) and
      nothing else.
  usercode DIR
      After a first run: puts user code into every event procedure and the user's
      include lines into Main.pb, as a developer would between two runs.
  tiny DIR [--windows W] [--gadgets G]
      One designer form file of W tiny windows (default 100,000), each a procedure with
      its OpenWindow line and G gadgets (default 1), written as tightly as the language
      allows, and the project file DIR/bench.pbm; the switches are those of the forms
      command. Many objects in few bytes: the shape that shows what each object costs.

Every window has GADGETS gadgets of many kinds, a menu, a toolbar, a status bar,
images and fonts, so the object counts grow linearly with W.
"""
import argparse
import os
import re
import sys

GADGETS = 100          # per window, --gadgets
NUMBERED = False       # --numbered
MENU_ITEMS = 10        # per window, plus three toolbar buttons
TOOL_BUTTONS = 3
WINDOWS_PER_FILE = 10
IMAGE_FILES = 24       # distinct image files loaded inside procedures
SWITCHES = ["Parend=1", "PB_Ignore=1", "Multilang=1", "Image_Include=1", "Image_Null=0", "UseCallFast=1", "Utf8=1"]

# (command, argument tail after x, y, w, h) - the tails hold the texts that the
# multi-language switch wraps.
GADGET_KINDS = [
    ("ButtonGadget", 'Button', ', "Button {k}"'),
    ("StringGadget", 'String', ', "Value {k}"'),
    ("TextGadget", 'Text', ', "Label {k}:"'),
    ("CheckBoxGadget", 'CheckBox', ', "Option {k}"'),
    ("OptionGadget", 'Option', ', "Choice {k}"'),
    ("ComboBoxGadget", 'Combo', ''),
    ("ListViewGadget", 'ListView', ''),
    ("ListIconGadget", 'ListIcon', ', "Column", 120, #PB_ListIcon_GridLines'),
    ("EditorGadget", 'Editor', ''),
    ("SpinGadget", 'Spin', ', 0, 100'),
    ("TrackBarGadget", 'TrackBar', ', 0, 100'),
    ("ProgressBarGadget", 'Progress', ', 0, 100'),
    ("DateGadget", 'Date', ', "%yyyy-%mm-%dd"'),
    ("ImageGadget", 'Image', None),  # the image argument is built per gadget
    ("Frame3DGadget", 'Frame', ', "Group {k}"'),
    ("TreeGadget", 'Tree', ''),
    ("HyperLinkGadget", 'Link', ', "Homepage {k}", RGB(0, 0, 255)'),
    ("CalendarGadget", 'Calendar', ''),
    ("ButtonImageGadget", 'ImageButton', ', ImageID(#Img_Tool)'),
    ("IPAddressGadget", 'IP', ''),
    ("ShortcutGadget", 'Shortcut', ', 0'),
    ("ExplorerListGadget", 'Explorer', ', "/home/"'),
    ("ScrollBarGadget", 'ScrollBar', ', 0, 100, 10'),
    ("CanvasGadget", 'Canvas', ''),
]


def window_name(i):
    """Even windows live in old-style files, odd ones in designer files."""
    if NUMBERED:
        return "Window_%d" % i
    return ("Win%d" if i % 2 == 0 else "Dlg%d") % i


def renamed_window(i):
    return NUMBERED or i % 10 == 3


def renamed_objects(i):
    """Windows whose own gadgets and menu items are renamed in the renamed variant."""
    return not NUMBERED and i % 5 == 1


def new_window_name(i, renamed):
    name = window_name(i)
    if not (renamed and renamed_window(i)):
        return name
    return "Form_%d" % i if NUMBERED else name + "Main"


def gadget_const(i, k, renamed):
    kind = GADGET_KINDS[k % len(GADGET_KINDS)]
    name = "%s_%d" % (kind[1], k)
    if renamed and renamed_objects(i) and k % 10 == 7:
        name += "New"
    return name


def menu_const(i, m, renamed):
    name = "MenuItem_%d" % m
    if renamed and renamed_objects(i) and m in (2, 5):
        name = "MenuItem_Edit%d" % m
    return name


def gadget_lines(i, renamed, indent):
    out = []
    for k in range(GADGETS):
        cmd, _, tail = GADGET_KINDS[k % len(GADGET_KINDS)]
        c = "#" + gadget_const(i, k, renamed)
        x, y = 10 + (k % 5) * 110, 10 + (k // 5) * 30
        if tail is None:
            tail = ', LoadImage(#PB_Any, "img/picture%d.png")' % ((i + k) % IMAGE_FILES) if k % 3 else \
                ", ImageID(#Img_%s_0)" % new_window_name(i, renamed)
        out.append('%s%s(%s, %d, %d, 100, 25%s)' % (indent, cmd, c, x, y, tail.format(k=k)))
        if k % 4 == 0:
            out.append('%sGadgetToolTip(%s, "Tip for %s")' % (indent, c, c[1:]))
        if cmd == "ComboBoxGadget":
            out.append('%sAddGadgetItem(%s, -1, "First entry")' % (indent, c))
        if k % 12 == 5:
            out.append('%sSetGadgetFont(%s, FontID(#Font_%s_0))' % (indent, c, new_window_name(i, renamed)))
    # A container, a panel and a splitter of two earlier gadgets.
    out.append('%sContainerGadget(#Container_0, 10, 900, 300, 100, #PB_Container_Raised)' % indent)
    out.append('%s  ButtonGadget(#Inner_0, 5, 5, 80, 25, "Inner")' % indent)
    out.append('%sCloseGadgetList()' % indent)
    out.append('%sSplitterGadget(#Splitter_0, 320, 900, 300, 100, #%s, #%s)' %
               (indent, gadget_const(i, 8, renamed), gadget_const(i, 15, renamed)))
    return out


def menu_lines(i, renamed, indent, designer):
    menu = "CreateMenu(0, WindowID(#%s))" if designer else "CreateMenu(#Menu, WindowID(#%s))"
    out = ["%s%s" % (indent, menu % new_window_name(i, renamed)), '%sMenuTitle("File")' % indent]
    for m in range(MENU_ITEMS):
        if m == 5:
            out.append('%sMenuTitle("Edit")' % indent)
        if m == 7:
            out.append("%sMenuBar()" % indent)
        out.append('%sMenuItem(#%s, "Entry %d\\tCtrl+%s")' % (indent, menu_const(i, m, renamed), m, chr(65 + m)))
    tool = "CreateToolBar(0, WindowID(#%s))" if designer else "CreateToolBar(#ToolBar, WindowID(#%s))"
    out.append("%s%s" % (indent, tool % new_window_name(i, renamed)))
    for t in range(TOOL_BUTTONS):
        out.append("%sToolBarStandardButton(#Tool_%d, #PB_ToolBarIcon_New)" % (indent, t))
        bar = "0" if designer else "#ToolBar"
        out.append('%sToolBarToolTip(%s, #Tool_%d, "Tool %d")' % (indent, bar, t, t))
    status = "CreateStatusBar(0, WindowID(#%s))" if designer else "CreateStatusBar(#StatusBar, WindowID(#%s))"
    out.append("%s%s" % (indent, status % new_window_name(i, renamed)))
    out.append("%sAddStatusBarField(200)" % indent)
    out.append('%sStatusBarText(%s, 0, "Ready")' % (indent, "0" if designer else "#StatusBar"))
    return out


def old_style_window(i, renamed):
    w = new_window_name(i, renamed)
    out = ["Procedure Open_%s()" % w,
           '  If OpenWindow(#%s, 216, 0, 600, 1000, "Window %d", #PB_Window_SystemMenu | #PB_Window_TitleBar)' % (w, i)]
    out += menu_lines(i, renamed, "    ", False)
    out.append("    If CreateGadgetList(WindowID(#%s))" % w)
    out += gadget_lines(i, renamed, "      ")
    out.append("    EndIf")
    out.append("  EndIf")
    out.append("EndProcedure")
    out.append("")
    return out


def designer_window(i, renamed):
    w = new_window_name(i, renamed)
    out = ["Procedure Open%s(x = 0, y = 0, width = 600, height = 1000)" % w,
           '  OpenWindow(#%s, x, y, width, height, "Dialog %d", #PB_Window_SystemMenu)' % (w, i)]
    out += menu_lines(i, renamed, "  ", True)
    out += gadget_lines(i, renamed, "  ")
    out.append("EndProcedure")
    out.append("")
    # The designer's own event procedure, which the run leaves out.
    out += ["Procedure %s_Events(event)" % w, "  Select event",
            "    Case #PB_Event_CloseWindow", "      ProcedureReturn #False",
            "    Case #PB_Event_Gadget", "      Select EventGadget()"]
    out += ["        Case #%s" % gadget_const(i, k, renamed) for k in range(0, GADGETS, 3)]
    out += ["      EndSelect", "  EndSelect", "  ProcedureReturn #True", "EndProcedure", ""]
    return out


def file_header(first, last, renamed, designer):
    out = ["; Form file of windows %d to %d" % (first, last - 1), ";"]
    if designer:
        out += ["", "Enumeration FormWindow"]
        out += ["  #%s" % new_window_name(i, renamed) for i in range(first, last) if i % 2]
        out += ["EndEnumeration", ""]
    out.append("Global Changed%d.l" % first)
    for i in range(first, last):
        if (i % 2 == 1) != designer:
            continue
        w = new_window_name(i, renamed)
        out.append('LoadImage(#Img_%s_0, "img/window%d.png")' % (w, i))
        out.append('LoadFont(#Font_%s_0, "DejaVu Sans", %d, #PB_Font_Bold)' % (w, 8 + i % 6))
    out.append("")
    return out


def write_lines(path, lines, newline="\n"):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(newline.join(lines) + newline)


def write_forms(d, windows, renamed):
    files = []
    for first in range(0, windows, WINDOWS_PER_FILE):
        last = min(first + WINDOWS_PER_FILE, windows)
        for designer in (False, True):
            lines = file_header(first, last, renamed, designer)
            for i in range(first, last):
                if (i % 2 == 1) != designer:
                    continue
                lines += designer_window(i, renamed) if designer else old_style_window(i, renamed)
            name = "Forms%03d.%s" % (first // WINDOWS_PER_FILE, "pbf" if designer else "pb")
            # Old-style files carry Windows line ends, as the older designer wrote them.
            write_lines(os.path.join(d, name), lines, "\n" if designer else "\r\n")
            files.append(os.path.join(d, name))
    return files


def write_includes(d, windows):
    """The user's own modules: code that names windows, gadgets and menu items."""
    os.makedirs(os.path.join(d, "user"), exist_ok=True)
    names = []
    for first in range(0, windows, WINDOWS_PER_FILE):
        lines = ["; Logic of windows %d to %d" % (first, min(first + WINDOWS_PER_FILE, windows) - 1), ""]
        for i in range(first, min(first + WINDOWS_PER_FILE, windows)):
            w = window_name(i)
            lines += ["Procedure Show_%s()" % w, "  Open_%s()" % w,
                      "  HideWindow(#%s, #False)" % w]
            for k in range(0, GADGETS, 4):
                lines.append('  SetGadgetText(#%s_%s, "")' % (w, gadget_const(i, k, False)))
            lines.append("  SetMenuItemState(#%s_Menu, #%s_%s, 1)" % (w, w, menu_const(i, 2, False)))
            lines += ["EndProcedure", ""]
        name = "user/Logic%03d.pbi" % (first // WINDOWS_PER_FILE)
        write_lines(os.path.join(d, name), lines)
        names.append(name)
    return names


def write_binds(d, windows):
    binds = []
    for i in range(windows):
        w = window_name(i)
        if renamed_window(i):
            binds.append("Window:%s=%s" % (w, new_window_name(i, True)))
        if renamed_objects(i):
            for k in range(GADGETS):
                old, new = gadget_const(i, k, False), gadget_const(i, k, True)
                if old != new:
                    binds.append("Gadget:%s_%s=%s_%s" % (w, old, w, new))
            for m in range(MENU_ITEMS):
                old, new = menu_const(i, m, False), menu_const(i, m, True)
                if old != new:
                    binds.append("MenuItem:%s_%s=%s_%s" % (w, old, w, new))
    write_lines(os.path.join(d, "binds.txt"), binds)


def cmd_forms(args):
    global GADGETS, NUMBERED
    GADGETS, NUMBERED = args.gadgets, args.numbered
    d = os.path.abspath(args.dir)
    os.makedirs(d, exist_ok=True)
    os.makedirs(os.path.join(d, "cfg"), exist_ok=True)
    files = write_forms(d, args.windows, args.renamed)
    if args.renamed:
        write_binds(d, args.windows)
        return
    write_includes(d, args.windows)
    write_lines(os.path.join(d, "bench.pbm"), ["[FILES]"] + files + ["", "[SWITCH]"] + SWITCHES + [""])


def cmd_tiny(args):
    d = os.path.abspath(args.dir)
    os.makedirs(os.path.join(d, "cfg"), exist_ok=True)
    form = os.path.join(d, "Tiny.pbf")
    # No indentation and no spaces: about 91 bytes a window with one button, close to
    # the least that a procedure, its OpenWindow line and a gadget take.
    gadgets = ["ButtonGadget(#B,0,0,9,9,\"\")", "TextGadget(#T,0,9,9,9,\"\")", "CheckBoxGadget(#C,9,0,9,9,\"\")"]
    with open(form, "w", encoding="utf-8", newline="") as f:
        for i in range(args.windows):
            f.write("Procedure W%d()\nOpenWindow(#W%d,0,0,9,9,\"\")\n" % (i, i))
            for g in range(args.gadgets):
                f.write(gadgets[g % len(gadgets)] + "\n")
            f.write("EndProcedure\n")
    write_lines(os.path.join(d, "bench.pbm"), ["[FILES]", form, "", "[SWITCH]"] + SWITCHES + [""])


HEAD = re.compile(r"^Procedure (Event(Menu|Gadget|Size|Exit)_(\w+))\(")


def user_code(kind, name, n):
    """A few lines of the user's own code for one event procedure."""
    if kind == "Gadget":
        return ["  ; handled since version %d" % (n % 7),
                "  Protected value$ = GetGadgetText(#%s)" % name,
                '  If value$ <> ""',
                '    Debug "%s: " + value$' % name,
                "  EndIf"]
    if kind == "Menu":
        return ["  ; menu command %d" % n,
                "  Debug \"menu %s\"" % name,
                "  DisableMenuItem(#%s, 0)" % name]
    return ["  ; window %s" % name, "  Debug WindowWidth(#%s)" % name]


def cmd_usercode(args):
    d = os.path.abspath(args.dir)
    n = 0
    for f in ("EventMenu.pb", "EventGadget.pb", "EventWindow.pb"):
        path = os.path.join(d, f)
        with open(path, encoding="utf-8-sig") as fh:
            lines = fh.read().split("\n")
        if lines and lines[-1] == "":
            lines.pop()
        out = []
        for line in lines:
            out.append(line)
            m = HEAD.match(line)
            if m:
                n += 1
                out += user_code(m.group(2), m.group(3), n)
        with open(path, "w", encoding="utf-8-sig", newline="") as fh:
            fh.write("\n".join(out) + "\n")
    main = os.path.join(d, "Main.pb")
    with open(main, encoding="utf-8-sig") as fh:
        text = fh.read()
    includes = sorted(os.path.relpath(os.path.join(r, f), d)
                      for r, _, fs in os.walk(os.path.join(d, "user")) for f in fs)
    text = text.replace(';IncludeFile "???.pb"\n',
                        "".join('IncludeFile "%s"\n' % name for name in includes), 1)
    with open(main, "w", encoding="utf-8-sig", newline="") as fh:
        fh.write(text)


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = p.add_subparsers(dest="command", required=True)
    f = sub.add_parser("forms")
    f.add_argument("dir")
    f.add_argument("--windows", type=int, required=True)
    f.add_argument("--renamed", action="store_true")
    f.add_argument("--gadgets", type=int, default=GADGETS)
    f.add_argument("--numbered", action="store_true")
    u = sub.add_parser("usercode")
    u.add_argument("dir")
    t = sub.add_parser("tiny")
    t.add_argument("dir")
    t.add_argument("--windows", type=int, default=100000)
    t.add_argument("--gadgets", type=int, default=1)
    args = p.parse_args()
    {"forms": cmd_forms, "usercode": cmd_usercode, "tiny": cmd_tiny}[args.command](args)
    return 0


if __name__ == "__main__":
    sys.exit(main())
