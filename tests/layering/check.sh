#!/usr/bin/env bash
# Fails when a source file includes a header its layer may not see.
set -u
src=${1:?usage: check.sh SRC_DIR}
status=0
check() { # folder, forbidden-pattern, reason
  local hits
  hits=$(grep -rnE --include='*.h' --include='*.cpp' "$2" "$src/$1" 2>/dev/null)
  if [[ -n "$hits" ]]; then
    echo "$1 may not include $3:"
    echo "$hits"
    status=1
  fi
}
project='#include +"(app|model|dock|windows|chrome|stacks|system|settings|previews|switcher|ui|platform)/'
toolkits='#include +[<"](Q[A-Za-z]+|qt[a-z]*/|xcb/|X11/|glib|gio/|gio-unix|gdesktop)'
check foundation "$project" "project layers"
check foundation "$toolkits" "Qt, X11 or GLib"
check ui '#include +[<"](xcb/|X11/|glib|gio/|gio-unix|gdesktop)|#include +"platform/linux/' "X11, GLib or the Linux adapters"
for logic in platform app model dock windows chrome stacks system settings previews switcher; do
  [[ -d "$src/$logic" ]] || continue
  hits=$(grep -rnE --include='*.h' --include='*.cpp' "$toolkits|#include +\"(ui|platform/linux)/" "$src/$logic" |
    grep -v "^$src/platform/linux/")
  if [[ -n "$hits" ]]; then
    echo "$logic may not include Qt, X11, GLib, views or adapters:"
    echo "$hits"
    status=1
  fi
done
check keelguard '#include +"(foundation|platform|app|model|dock|windows|chrome|stacks|system|settings|previews|switcher|ui)/' "anything of Quayline's"
exit $status
