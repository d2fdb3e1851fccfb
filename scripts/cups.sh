#!/usr/bin/env bash
# Starts the print system the printing tests use: cupsd with this checkout's queue (named in
# scripts/print_names.sh, "LevylineFile-" and eight hex digits) that writes each job to a file.
# Wine prints through CUPS; the tests make that queue their default printer (tests/harness), so
# two checkouts testing at once each print to their own file.
#
# Installs nothing: scripts/setup.sh installs cups, cups-bsd and libcups2:i386. Without them this
# script says so and leaves; the printing tests then skip themselves.
#
# The job file: $LEVYLINE_PRINT_DIR/job.prn (/tmp/levyline-print-<same digits>/job.prn), PostScript (Wine's
# printer driver output passed through CUPS's pstops, one "%%Page:" comment per page). Each job
# replaces the file.
set -e
source "$(dirname "${BASH_SOURCE[0]}")/print_names.sh"
PRINT_DIR="$LEVYLINE_PRINT_DIR"
QUEUE="$LEVYLINE_PRINTER"

if ! command -v cupsd >/dev/null 2>&1 || ! command -v lpadmin >/dev/null 2>&1; then
  echo "cups: cupsd or lpadmin not installed; printing tests will be skipped"
  exit 0
fi
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo

mkdir -p "$PRINT_DIR"
chmod 1777 "$PRINT_DIR" 2>/dev/null || true

# CUPS refuses file: device URIs unless cups-files.conf allows them.
FILES_CONF=/etc/cups/cups-files.conf
conf_changed=0
if [ -f "$FILES_CONF" ] && ! grep -q '^FileDevice Yes' "$FILES_CONF"; then
  if grep -q '^#\?FileDevice' "$FILES_CONF"; then
    $SUDO sed -i 's/^#\?FileDevice.*/FileDevice Yes/' "$FILES_CONF"
  else
    echo 'FileDevice Yes' | $SUDO tee -a "$FILES_CONF" >/dev/null
  fi
  conf_changed=1
fi

cups_running() { lpstat -r 2>/dev/null | grep -q 'is running'; }

if cups_running; then
  if [ "$conf_changed" = 1 ] && [ -f /run/cups/cupsd.pid ]; then
    # Reload the changed configuration.
    $SUDO kill -HUP "$(cat /run/cups/cupsd.pid)" 2>/dev/null || true
    sleep 1
  fi
else
  $SUDO mkdir -p /run/cups
  $SUDO cupsd
fi
for _ in $(seq 100); do cups_running && break; sleep 0.1; done
if ! cups_running; then
  echo "cups: the scheduler did not start; printing tests will be skipped"
  exit 0
fi

# The queue: the generic PostScript driver (a raw queue with a file device writes nothing), each
# job written to the job file. The machine's default printer is left as it is.
if ! lpstat -v "$QUEUE" 2>/dev/null | grep -q "$PRINT_DIR/job.prn"; then
  $SUDO lpadmin -p "$QUEUE" -E -v "file://$PRINT_DIR/job.prn" -m drv:///sample.drv/generic.ppd 2>/dev/null
fi
$SUDO cupsenable "$QUEUE" 2>/dev/null || true
$SUDO cupsaccept "$QUEUE" 2>/dev/null || true
echo "cups: queue $QUEUE; jobs go to $PRINT_DIR/job.prn"
