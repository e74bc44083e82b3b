# Shared by the GUI system tests: the real program under X, driven as a user would with
# xdotool. Source it from a script whose arguments are the program, the source folder
# and the build folder (which holds wm_delete); it brings checks.sh along. The program
# runs from its own copy in $work/bin, so that its settings stay beside it, with the
# project folder $work/proj as its working folder.
APP=$(realpath "$1")
BIN=$(realpath "$3")
work=$(mktemp -d)
. "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
WM_DELETE="$BIN/wm_delete"
app_pid=
TITLE="Tarnwick Orlenta Version v5.17"
SHOTS="$BIN/screenshots"
mkdir -p "$work/bin" "$work/proj" "$work/data" "$SHOTS"
cp "$APP" "$work/bin/tarnwick"
trap '[ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null; rm -rf "$work"' EXIT

# The first visible window whose title matches, waiting up to 10 s. Searched again and
# again rather than with --sync: a search that meets a window being destroyed (the
# windows of a program that is just ending) fails at once with an X error.
find_win() {
  for _ in $(seq 1 100); do
    local w; w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$w" ] && { echo "$w"; return; }
    sleep 0.1
  done
}
win() { find_win "^$1\$"; }
# The main window: its title is the project file's name, "*" when modified, " - " and TITLE.
main_win() { find_win " - $TITLE\$"; }
title() { xdotool getwindowname "$main" 2>/dev/null; }
keys() { local w=$1; shift; timeout 5 xdotool windowfocus --sync "$w" && xdotool key --delay 40 "$@"; }
# A visible window with this title other than the given one (a box that follows a dialog
# of the same title).
win_other() {  # title, window id to pass over
  for _ in $(seq 1 50); do
    local w; w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vx "$2" | head -1)
    [ -n "$w" ] && { echo "$w"; return; }
    sleep 0.1
  done
}
# Waits until a file holds the expected text.
wait_file() { for _ in $(seq 1 50); do [ "$(cat "$1" 2>/dev/null)" == "$2" ] && return 0; sleep 0.1; done; return 1; }
# Waits until the main window's title is the expected one.
wait_title() { for _ in $(seq 1 50); do [ "$(title)" == "$1" ] && return 0; sleep 0.1; done; return 1; }
# Waits until no visible window has this title.
wait_gone() { for _ in $(seq 1 50); do [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ] && return 0; sleep 0.1; done; return 1; }
launch() {  # arguments of the program; runs in the project folder, waits for no window
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && echo "FAIL the previous program was still running"
  (cd "$work/proj" && XDG_DATA_HOME="$work/data" exec "$work/bin/tarnwick" "$@") >>"$work/app.out" 2>>"$work/app.err" &
  app_pid=$!
}
start() {  # arguments of the program; waits for the main window
  launch "$@"
  main=$(main_win)
  [ -n "$main" ] || { echo "FAIL main window did not appear"; cat "$work/app.err"; exit 1; }
  sleep 0.3
}
ended() {  # waits up to 5 s for the program to end; its exit status goes to rc
  rc=timeout
  for _ in $(seq 1 50); do
    if ! kill -0 "$app_pid" 2>/dev/null; then wait "$app_pid"; rc=$?; app_pid=; return; fi
    sleep 0.1
  done
}
# Types a path into a file chooser's location field and accepts it (nothing when the
# chooser did not appear).
choose_path() {  # chooser window id, path
  [ -n "$1" ] || return 1
  keys "$1" ctrl+l; sleep 0.3
  xdotool type --delay 20 "$2"; sleep 0.3
  keys "$1" Return
}
running() { kill -0 "$app_pid" 2>/dev/null && echo yes || echo no; }
click_file() {  # row N (from 0) of the file list, just below the toolbar
  xdotool mousemove --window "$main" 200 $((68 + 20 * ${1:-0})) click 1
  sleep 0.2
}
shot() {  # name, window: a screenshot of one window
  import -window "$2" "$SHOTS/$1.png"
}
