#!/usr/bin/env bash
# The messages check on a tree of its own: a question the program asks must stand in the
# manual as the program asks it, or the check fails.
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/.."
tree=build/check-messages-test
check() { # text in the program, text in the manual: the check's exit code
  rm -rf "$tree" && mkdir -p "$tree/scripts" "$tree/src" "$tree/docs" && cp scripts/check-messages.py "$tree/scripts/"
  printf 'const wchar_t* ask = L"%s";\n' "$1" >"$tree/src/Ask.cpp"
  printf '15. メッセージと対処\n%s\n\n  %s\n\n16. 次\n%s\n' "$(printf -- '-%.0s' {1..70})" "$2" \
    "$(printf -- '-%.0s' {1..70})" >"$tree/docs/Readme.txt"
  python3 "$tree/scripts/check-messages.py" >/dev/null
}
failed=0
check "上書きしますか？" "上書きしますか？" || { echo "a question in the manual was not found"; failed=1; }
check "上書きしますか？" "削除しますか？" && { echo "a question missing from the manual passed"; failed=1; }
[ "$failed" = 0 ] && echo "messages check: a changed question fails it"
exit "$failed"
