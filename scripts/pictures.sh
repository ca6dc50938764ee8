#!/usr/bin/env bash
# Retakes the pictures in docs/ on a virtual display, in the project's Wine prefix: the copy
# dialog, the copy dialog with a help pop-up, the copy dialog's menu of formats, the options,
# and the format dialog with its token menu. Run by hand; each view is opened by a hand-run test that waits while it is captured.
set -eu
cd "$(dirname "${BASH_SOURCE[0]}")/.."
. scripts/deps.sh
zv_install_deps
{ cmake --preset win64 && cmake --build --preset win64 -j "$(nproc 2>/dev/null || echo 2)"; } >build/pictures-build.log 2>&1 ||
  { tail -n 40 build/pictures-build.log; exit 1; }

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -eu
  . scripts/wine-env.sh
  zv_end_prefix
  zv_boot_prefix
  shots=$(mktemp -d)
  take() { # test filter, view, picture
    rm -f "$shots/ready.txt" "$shots/done.txt"
    ZV_SHOT_DIR="Z:${shots//\//\\}" ZV_SHOT="$2" "$ZV_WINE" build/win64/zv_win_tests.exe \
      --gtest_also_run_disabled_tests --gtest_filter="$1" >"$shots/$3.log" 2>&1 &
    local pid=$! i
    for i in $(seq 300); do [ -s "$shots/ready.txt" ] && break; sleep 0.2; done
    [ -s "$shots/ready.txt" ] || { cat "$shots/$3.log"; echo "no $3"; kill "$pid"; return 1; }
    local l t r b
    read -r l t r b <"$shots/ready.txt"
    sleep 1  # the last paint
    import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "docs/$3"
    touch "$shots/done.txt"
    wait "$pid" || true
    echo "docs/$3"
  }
  take "Pictures.DISABLED_OneView" copy copy-dialog.png
  take "Pictures.DISABLED_OneView" help help-popup.png
  take "Pictures.DISABLED_OneView" formats format-menu.png
  take "Pictures.DISABLED_OneView" options options.png
  take "*ScreenshotWithTheTokenMenuOpen" "" format.png
  rm -rf "$shots"
  zv_end_prefix
'
