#!/usr/bin/env bash
# The engine's folders include only the folders below them: model, project, the three
# stage folders (none of which includes another), the run, then the front ends.
set -u
src="$1/src"
allowed() {  # folder -> the folders it may include
  case "$1" in
    model) echo "model" ;;
    project) echo "model project" ;;
    interpret | rewrite | generate) echo "model project $1" ;;
    run) echo "model project interpret rewrite generate run" ;;
  esac
}
bad=0
for dir in model project interpret rewrite generate run; do
  ok=" $(allowed "$dir") "
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -n 's/.*#include "\([a-z]*\)\/.*/\1/p' <<< "${line#*:}")
    case "$ok" in *" $target "*) ;; *) echo "$file includes $target/"; bad=1 ;; esac
  done < <(grep -rH '#include "' "$src/$dir" --include='*.h' --include='*.cpp')
done
# Nothing of the engine includes a GTK header.
if grep -rlE '#include <(gtk|gdk|glib)' "$src"/{model,project,interpret,rewrite,generate,run} "$src/app/cli"; then bad=1; fi
exit $bad
