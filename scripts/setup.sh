#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12), and nothing when all is there.
# Sourced or run by scripts/test.sh and scripts/run.sh.
set -e
need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
if ! dpkg --print-foreign-architectures | grep -q i386; then
  dpkg --add-architecture i386
  rm -f /var/lib/apt/lists/lock 2>/dev/null || true
  updated_needed=1
fi
for p in wine wine32:i386 g++-mingw-w64-i686 mingw-w64-tools cmake ninja-build libz-mingw-w64-dev googletest \
         xvfb xauth openbox xdotool fonts-liberation fonts-dancingscript ghostscript qpdf poppler-utils ccache imagemagick x11-utils \
         cups cups-bsd printer-driver-cups-pdf libcups2:i386; do
  have_pkg "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
