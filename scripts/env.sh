# Environment for running the program and its tests under Wine: source it.
#   source scripts/env.sh    (from the project root)
LEVYLINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="$LEVYLINE_ROOT/build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# This checkout's test printer and job folder (scripts/cups.sh makes the queue).
source "$LEVYLINE_ROOT/scripts/print_names.sh"
# Without a display of the caller's, a virtual one of our own, with a small window manager on it:
# the program and its tests run as on a user's desktop, where the window manager moves the focus
# between windows and Wine's windows are managed. LEVYLINE_DISPLAY chooses its number (two
# checkouts testing at once each take their own).
levyline_has_wm() {
  xprop -display "$DISPLAY" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY="${LEVYLINE_DISPLAY:-:97}"
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
    LEVYLINE_XVFB_PID=$!
    for _ in $(seq 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  if ! levyline_has_wm; then
    openbox --sm-disable >/dev/null 2>&1 &
    LEVYLINE_WM_PID=$!
    for _ in $(seq 50); do levyline_has_wm && break; sleep 0.1; done
  fi
fi
# A Wine prefix of our own, made once, with the font replacements the forms need.
if [ ! -f "$WINEPREFIX/.levyline-ready-2" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Arial' /d 'Liberation Sans' /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /d 'Liberation Mono' /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /d 'Liberation Serif' /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Segoe Script' /d 'Dancing Script' /f >/dev/null 2>&1
  # A crashing program ends at once instead of waiting in the crash dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.levyline-ready-2"
fi
# Wine's windows are managed when the display has a window manager (our own display always has
# one; a caller's may not). On a bare display Wine would wait two seconds for a window manager to
# confirm each hidden window, so there they are left unmanaged. The prefix keeps the setting, so
# it is written only when it changes.
levyline_managed=N
if levyline_has_wm; then
  levyline_managed=Y
fi
if [ "$(cat "$WINEPREFIX/.levyline-managed" 2>/dev/null)" != "$levyline_managed" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$levyline_managed" /f >/dev/null 2>&1 &&
    echo "$levyline_managed" > "$WINEPREFIX/.levyline-managed"
fi
unset levyline_managed
# Start the Wine server and its services now, outside any test's output pipe: a test
# program that started them would otherwise hold ctest's pipe open until the server ends.
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 || true
levyline_stop_xvfb() {
  [ -n "${LEVYLINE_WM_PID:-}" ] && kill "$LEVYLINE_WM_PID" 2>/dev/null
  [ -n "${LEVYLINE_XVFB_PID:-}" ] && kill "$LEVYLINE_XVFB_PID" 2>/dev/null
  wineserver -k 2>/dev/null || true
}
