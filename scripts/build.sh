#!/usr/bin/env bash
# Configures (once) and builds everything into build/.
set -e
cd "$(dirname "$0")/.."
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
fi
cmake --build build -j "$(nproc)"
