#!/usr/bin/env bash
# Installs what is missing, builds, and starts Levyline on FILE (or the bundled sample
# return; --no-return: with no return open). Without a display the program runs under Xvfb
# and a screenshot of the main window is saved to build/screenshot.png.
set -e
cd "$(dirname "$0")/.."
bash scripts/setup.sh
had_display=${DISPLAY:-}
source scripts/env.sh
# Only what the program needs: the program, and the FormPaks and sample returns it opens (the
# test programs are built by scripts/test.sh).
bash scripts/build.sh Levyline formpaks
file="${1:-}"
if [ "$file" = "--no-return" ]; then
  file=""
elif [ -z "$file" ] && [ -f build/samples/Sample.qvr ]; then
  file=build/samples/Sample.qvr
fi
# Returns name their FormPaks by file name: they are looked up in the FormPak folder, which is
# the build's FormPaks for any file opened here (unless LEVYLINE_FORMDIR names another folder).
formdir="${LEVYLINE_FORMDIR:-$(pwd)/build/formpaks}"
if [ -d "$formdir" ]; then
  wine reg add 'HKCU\Software\VantorelGroup\Levyline\2024' /v FormDir /t REG_SZ \
    /d "$(winepath -w "$formdir")" /f >/dev/null 2>&1 || true
fi
args=()
if [ -n "$file" ]; then
  args=("$(winepath -w "$(readlink -f "$file")")")
fi
if [ -n "$had_display" ]; then
  wine build/Levyline.exe "${args[@]}"
  exit 0
fi
trap levyline_stop_xvfb EXIT
wine build/Levyline.exe "${args[@]}" &
pid=$!
sleep "${LEVYLINE_SHOT_DELAY:-8}"
import -display "$DISPLAY" -window root build/screenshot.png && echo "screenshot: build/screenshot.png"
wineserver -k 2>/dev/null || true
wait $pid 2>/dev/null || true
