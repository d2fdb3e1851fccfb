#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine and Xvfb.
set -e
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
source scripts/env.sh
trap levyline_stop_xvfb EXIT
bash scripts/cups.sh || true   # the printer the printing tests use (they skip without it)
set +e
(cd build && ctest --output-on-failure -j 4 "$@")
rc=$?
exit $rc
