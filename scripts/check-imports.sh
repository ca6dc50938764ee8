#!/usr/bin/env bash
# Zarvane.exe loads at start only the Windows libraries the copy dialog needs: no runtime DLL
# of the compiler, and none of the libraries it loads on their first call (cmake/delayload.cmake).
# The release program also stays within 512 KiB.
# Usage: scripts/check-imports.sh [Zarvane.exe]
set -u
exe=${1:-$(dirname "${BASH_SOURCE[0]}")/../build/win64/Zarvane.exe}
objdump=x86_64-w64-mingw32-objdump
[ -f "$exe" ] || { echo "no $exe"; exit 1; }
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll imm32.dll msvcrt.dll "
status=0
for dll in $("$objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z'); do
  case "$allowed" in
    *" $dll "*) ;;
    *) echo "$exe loads $dll at start"; status=1 ;;
  esac
done
size=$(stat -c %s "$exe")
if [ "$size" -gt $((512 * 1024)) ]; then echo "$exe is $size bytes, above 512 KiB"; status=1; fi
[ "$status" -eq 0 ] && echo "imports: only Windows libraries the dialog needs; $size bytes"
exit "$status"
