#!/usr/bin/env bash
# Runs a Windows test program under Wine with its output in a file, then shows that file.
# Programs the tests start (the file manager, say) inherit the output; were it ctest's pipe,
# ctest would wait for them for ever.
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
log="$1.log"
args=()
for a in "$@"; do
  # A report path given as a Linux path goes in as its drive Z: form.
  case "$a" in
    --gtest_output=xml:/*) p="${a#--gtest_output=xml:}"; args+=("--gtest_output=xml:Z:${p//\//\\}") ;;
    *) args+=("$a") ;;
  esac
done
"$ZV_WINE" "${args[@]}" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
exit "$rc"
