#!/usr/bin/env bash
# The user's data folder, "Levyline 2024" in the Documents of the Wine prefix (Wine often links
# Documents to the home folder, so every checkout on the machine shares it), comes out of a test
# run byte for byte as it went in: the tests keep a data folder of their own, <build>/Test Data
# (tests/harness/harness.cpp). ctest runs this first and last (tests/CMakeLists.txt):
#   bash scripts/user_data.sh record <build>    lists the folder with checksums and empties the
#                                               tests' own data folder
#   bash scripts/user_data.sh compare <build>   fails, showing what changed, when the folder differs
set -u
mode="${1:-}"
build="${2:-}"
if [ -z "$build" ] || { [ "$mode" != record ] && [ "$mode" != compare ]; }; then
  echo "usage: $0 record|compare <build folder>" >&2
  exit 2
fi
prefix="${WINEPREFIX:-$build/wineprefix}"
folder="$prefix/drive_c/users/${USER:-$(id -un)}/Documents/Levyline 2024"

# One line per entry, sorted: its kind, its path in the folder and, for a file, its checksum.
list_folder() {
  if [ ! -e "$folder" ]; then
    echo "(no folder)"
    return
  fi
  (cd "$folder" && find . -mindepth 1 | LC_ALL=C sort | while IFS= read -r entry; do
    if [ -L "$entry" ]; then
      echo "link $entry -> $(readlink "$entry")"
    elif [ -d "$entry" ]; then
      echo "folder $entry"
    elif [ -f "$entry" ]; then
      echo "file $entry $(sha256sum < "$entry" | cut -d' ' -f1)"
    else
      echo "other $entry"
    fi
  done)
}

before="$build/user-data-before.txt"
if [ "$mode" = record ]; then
  list_folder > "$before" || exit 1
  rm -rf "$build/Test Data"
  echo "recorded $folder"
  exit 0
fi
if [ ! -f "$before" ]; then
  echo "no listing recorded before the run ($before)" >&2
  exit 1
fi
if ! list_folder | diff -u --label before --label after "$before" -; then
  echo "The test run changed the user's data folder: $folder" >&2
  exit 1
fi
echo "unchanged: $folder"
