#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine and Xvfb.
set -e
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/cups.sh || true   # the printer the printing tests use (they skip without it)
source scripts/env.sh          # display, Wine prefix (the build runs tools under Wine too)
trap levyline_stop_xvfb EXIT
bash scripts/build.sh
set +e
# One test program at a time: the window tests share one display, and focus moves
# between programs would make them flaky.
(cd build && ctest --output-on-failure "$@")
rc=$?
exit $rc
