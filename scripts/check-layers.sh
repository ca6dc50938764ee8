#!/usr/bin/env bash
# Fails when a source file includes a folder of a higher layer. Layers, bottom to top:
# core (portable, no Windows headers) -> platform -> ui -> copy, options, format, setup -> startup
# and shellext (the right-click handler's DLL).
# A feature folder may include another only where it opens that one's dialog (listed below).
set -u
src=${1:-"$(dirname "${BASH_SOURCE[0]}")/../src"}
declare -A rank=([core]=0 [platform]=1 [ui]=2 [copy]=3 [options]=3 [format]=3 [setup]=3 [startup]=4 [shellext]=4)
allowed=" options>format "  # the options dialog opens the format dialog

bad=0
while IFS= read -r file; do
  from=${file#"$src"/}; from=${from%%/*}
  [ -n "${rank[$from]:-}" ] || { echo "$file: folder $from has no layer"; bad=1; continue; }
  while IFS=: read -r line to; do
    [ -n "${rank[$to]:-}" ] || continue
    [ "$to" = "$from" ] && continue
    if [ "${rank[$to]}" -gt "${rank[$from]}" ] ||
       { [ "${rank[$to]}" -eq "${rank[$from]}" ] && [[ "$allowed" != *" $from>$to "* ]]; }; then
      echo "$file:$line: $from includes $to/"; bad=1
    fi
  done < <(grep -noE '^\s*#\s*include\s+"[a-z]+/' "$file" | sed -E 's/^([0-9]+):.*"([a-z]+)\/$/\1:\2/')
  # The dialog base and the wrappers are given what they need; they never read the process state.
  if { [ "$from" = platform ] || [ "$from" = ui ]; } && grep -qE '^\s*#\s*include\s+"core/ProcessState\.h"' "$file"; then
    echo "$file: $from/ reads the process state"; bad=1
  fi
  if [ "$from" = core ] && grep -qE '^\s*#\s*include\s+<windows\.h>' "$file"; then
    echo "$file: core/ is portable but includes <windows.h>"; bad=1
  fi
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
[ "$bad" -eq 0 ] && echo "layers: no include goes up a layer"
exit "$bad"
