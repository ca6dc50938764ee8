# Shared by the scripts: the project's own Wine prefix and locale. Source it.
ZV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$ZV_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
export LC_ALL=ja_JP.UTF-8
ZV_WINE=/usr/lib/wine/wine64
ZV_WINESERVER=/usr/lib/wine/wineserver

# Wine's helper processes keep the output of the first program of a prefix open for ever,
# so the prefix is booted with its output sent nowhere.
zv_boot_prefix() {
  mkdir -p "$WINEPREFIX"
  "$ZV_WINE" wineboot >/dev/null 2>&1 </dev/null
  # Without a window manager on the virtual display, Wine waits 2 s for every managed window
  # it hides; unmanaged windows behave the same for the program and need no wait.
  "$ZV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
  # The Japanese dialog font, "MS UI Gothic", is not on Linux: Debian's proportional IPA
  # Gothic stands in for it, as Windows' own fonts would.
  local face
  for face in "MS UI Gothic" "MS PGothic" "ＭＳ Ｐゴシック"; do
    "$ZV_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f >/dev/null 2>&1 </dev/null
  done
  "$ZV_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "MS Gothic" /d IPAGothic /f >/dev/null 2>&1 </dev/null
  # Title-bar buttons are glyphs of Wine's "Marlett", which this Wine does not load from its own
  # data folder: without it the close box shows the letter "r". In the prefix's Fonts it loads.
  local marlett=/usr/share/wine/fonts/marlett.ttf
  if [ -f "$marlett" ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
    cp -n "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
}

zv_end_prefix() {
  "$ZV_WINESERVER" -k >/dev/null 2>&1 || true
}
