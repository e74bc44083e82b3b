#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop finds there (the
# program, its menu entry, icon, file type and manual page); runs the installed program
# where it may write its own folder, whose settings still go to the XDG folder, and a
# copy of it in a folder of its own, which keeps them beside it; and
# builds the .deb and checks its contents and dependencies.
# Arguments: the build folder, the source folder. Runs under with-xvfb.sh.
set -u
BIN=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/checks.sh"
chmod 755 "$work"
prefix="$work/prefix"
: > "$work/app.err"
cmake --install "$BIN" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; exit 1; }

# 1. The installed files.
for f in bin/tarnwick share/applications/tarnwick.desktop share/icons/hicolor/48x48/apps/tarnwick.png \
  share/icons/hicolor/256x256/apps/tarnwick.png share/icons/hicolor/scalable/apps/tarnwick.svg \
  share/man/man1/tarnwick.1 share/mime/packages/tarnwick.xml share/doc/tarnwick/README.md; do
  check "installed $f" yes "$([ -s "$prefix/$f" ] && echo yes || echo no)"
done
check "icon sizes" "48x48 256x256" \
  "$(identify -format '%wx%h ' "$prefix"/share/icons/hicolor/{48x48,256x256}/apps/tarnwick.png | sed 's/ $//')"
if command -v desktop-file-validate > /dev/null; then
  check "desktop entry valid" "" "$(desktop-file-validate "$prefix/share/applications/tarnwick.desktop" 2>&1)"
else
  check "desktop-file-validate installed (scripts/setup installs it)" yes no
fi
check "desktop entry starts the program with a file" "Exec=tarnwick %f" "$(grep '^Exec=' "$prefix/share/applications/tarnwick.desktop")"
check "manual page found and clean" "$prefix/share/man/man1/tarnwick.1|" \
  "$(MANPATH="$prefix/share/man" man -w tarnwick)|$(groff -man -ww -z "$prefix/share/man/man1/tarnwick.1" 2>&1)"
# Project files are Tarnwick's; portable bitmap images, which share "*.pbm", stay images.
update-mime-database "$prefix/share/mime" 2> /dev/null
printf '[FILES]\n/src/form.pb\n' > "$work/demo.pbm"
printf 'P1\n1 1\n0\n' > "$work/image.pbm"
type_of() { XDG_DATA_DIRS="$prefix/share:/usr/share" XDG_DATA_HOME="$work/nodata" gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'; }
check "project file type" "application/x-tarnwick-project" "$(type_of "$work/demo.pbm")"
check "bitmap file type" "image/x-portable-bitmap" "$(type_of "$work/image.pbm")"

# 2. The installed program never writes beside itself, not even when it may, as root
# may write /usr/bin: its settings go to the XDG folder. A copy in a folder of its own
# keeps them beside itself.
home="$work/home"
mkdir -p "$home"
run_as() { env -i PATH=/usr/bin:/bin DISPLAY="$DISPLAY" HOME="$home" "$@"; }
check "can write the program's folder" yes "$(run_as sh -c "[ -w '$prefix/bin' ] && echo yes || echo no")"
check "version" "tarnwick 5.17" "$(run_as "$prefix/bin/tarnwick" --version)"
open_and_close() {  # the program, then environment assignments for it
  local program=$1
  shift
  run_as env GTK_MODULES= NO_AT_BRIDGE=1 GTK2_RC_FILES=/dev/null "$@" "$program" 2>> "$work/app.err" &
  local pid=$! w
  w=$(timeout 10 xdotool search --sync --onlyvisible --name ' - Tarnwick Orlenta Version v5.17$' | head -1)
  [ -n "$w" ] && "$BIN/wm_delete" "$w"
  for _ in $(seq 1 50); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
  kill "$pid" 2> /dev/null
  wait "$pid" 2> /dev/null
}
settings() { (cd "$1" 2> /dev/null && ls TW4.INI UserList.INI 2> /dev/null | paste -sd' '); }
open_and_close "$prefix/bin/tarnwick"
check "settings in ~/.config/tarnwick" "TW4.INI UserList.INI" "$(settings "$home/.config/tarnwick")"
open_and_close "$prefix/bin/tarnwick" XDG_CONFIG_HOME="$home/xdg"
check "settings in \$XDG_CONFIG_HOME/tarnwick" "TW4.INI UserList.INI" "$(settings "$home/xdg/tarnwick")"
check "nothing beside the program" "" "$(settings "$prefix/bin")"
mkdir -p "$work/portable"
cp "$prefix/bin/tarnwick" "$work/portable/"
open_and_close "$work/portable/tarnwick"
check "a copy of its own keeps its settings beside it" "TW4.INI UserList.INI" "$(settings "$work/portable")"

# 3. The Debian package.
cpack -G DEB -B "$work/pkg" --config "$BIN/CPackConfig.cmake" > "$work/cpack.log" 2>&1 || cat "$work/cpack.log"
deb=$(ls "$work"/pkg/tarnwick_*.deb 2> /dev/null | head -1)
check "package built" "tarnwick_5.17_$(dpkg --print-architecture).deb" "$(basename "${deb:-none}")"
if [ -n "$deb" ]; then
  contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
  for f in ./usr/bin/tarnwick ./usr/share/applications/tarnwick.desktop ./usr/share/icons/hicolor/48x48/apps/tarnwick.png \
    ./usr/share/man/man1/tarnwick.1 ./usr/share/mime/packages/tarnwick.xml ./usr/share/doc/tarnwick/copyright; do
    check "package holds $f" yes "$(grep -qx -- "$f" <<< "$contents" && echo yes || echo no)"
  done
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  for p in libc6 libgtk2.0-0 libpng16-16 libglib2.0-0 libexpat1; do
    check "depends on $p" yes "$(tr ',' '\n' <<< "$depends" | grep -q "^ *$p\b" && echo yes || echo no)"
  done
  # Every dependency is a Debian package that this (Debian 12) system knows.
  for p in $(tr ',' '\n' <<< "$depends" | sed 's/(.*//; s/ //g'); do
    check "dependency $p is a Debian package" yes "$(dpkg-query -W "$p" > /dev/null 2>&1 && echo yes || echo no)"
  done
  dpkg-deb -x "$deb" "$work/unpacked"
  check "packed program starts" "tarnwick 5.17" "$("$work/unpacked/usr/bin/tarnwick" --version)"
fi
check "GTK stayed quiet" "" "$(grep -E 'WARNING|CRITICAL' "$work/app.err")"
finish
