#!/usr/bin/env bash
# The Windows suite in a freshly booted prefix, on the display already set. A test that fails is
# run once more on its own to tell a race (passes alone) from a fault (fails again); either way
# it fails the run.
cd "$(dirname "${BASH_SOURCE[0]}")/.."
. scripts/wine-env.sh
report=build/win64/win-tests.xml retry=build/win64/win-retry.xml
rm -f "$retry"
zv_end_prefix
zv_boot_prefix
ctest --preset win64 --timeout 900
failed=$(awk '
  /<testcase / { match($0, / name="[^"]*"/); n = substr($0, RSTART + 7, RLENGTH - 8)
                 match($0, / classname="[^"]*"/); c = substr($0, RSTART + 12, RLENGTH - 13) }
  /<failure|<error/ && c != "" { print c "." n; c = "" }' "$report" 2>/dev/null | sort -u | paste -sd: -)
if [ -n "$failed" ]; then
  echo "== running again on their own: ${failed//:/ }"
  scripts/wine-test.sh build/win64/zv_win_tests.exe "--gtest_filter=$failed" "--gtest_output=xml:$(pwd -P)/$retry"
fi
zv_end_prefix
