# The print queue and job folder of this checkout's tests (source it). They are named after the
# checkout's folder, so two checkouts on one machine test at once without sharing a job file.
# LEVYLINE_PRINTER and LEVYLINE_PRINT_DIR may be set beforehand to choose others.
levyline_print_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)"
levyline_print_id="$(printf '%s' "$levyline_print_root" | md5sum | cut -c1-8)"
export LEVYLINE_PRINTER="${LEVYLINE_PRINTER:-LevylineFile-$levyline_print_id}"
export LEVYLINE_PRINT_DIR="${LEVYLINE_PRINT_DIR:-/tmp/levyline-print-$levyline_print_id}"
unset levyline_print_root levyline_print_id
