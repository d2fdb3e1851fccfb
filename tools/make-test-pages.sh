#!/usr/bin/env bash
# Makes the page interpreter's test pages from the 2024 IRS forms with Ghostscript:
#   OUTDIR/<form>-<n>.pcl  the page as a 300-dpi PCL raster stream (ljet2p: PackBits rows)
#   OUTDIR/<form>-<n>.bmp  the same page as a 1-bit bitmap of the whole letter page (bmpmono);
#                          the program's page is its region from x 75, y 0, 2400 x 3168
# for <form> in f1040 (2 pages), f1040s1 (2 pages), f1040sb (1 page). The forms are looked for in
# IRS_FORMS_DIR, <repo>/data/irs-forms, <repo>/../shared/irs-forms and /work/shared/irs-forms.
# Without Ghostscript or the forms nothing is made (the tests that need the pages skip).
set -e
out="${1:?usage: make-test-pages.sh OUTDIR}"
root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$out"
forms=""
for d in "${IRS_FORMS_DIR:-}" "$root/data/irs-forms" "$root/../shared/irs-forms" /work/shared/irs-forms; do
  if [ -n "$d" ] && [ -f "$d/f1040.pdf" ]; then forms="$d"; break; fi
done
if [ -z "$forms" ] || ! command -v gs >/dev/null 2>&1; then
  echo "make-test-pages: no IRS forms or no Ghostscript; test pages not made"
  touch "$out/pages.stamp"
  exit 0
fi
for form in f1040 f1040s1 f1040sb; do
  [ -f "$forms/$form.pdf" ] || continue
  gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ljet2p -r300 -sPAPERSIZE=letter \
     -sOutputFile="$out/$form-%d.pcl" "$forms/$form.pdf" >/dev/null 2>&1
  gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=bmpmono -r300 -sPAPERSIZE=letter \
     -sOutputFile="$out/$form-%d.bmp" "$forms/$form.pdf" >/dev/null 2>&1
  # Ghostscript ends with an empty page file after the last page: drop it.
  for f in "$out/$form"-*.pcl; do
    if [ "$(stat -c %s "$f")" -lt 100 ]; then rm -f "$f" "${f%.pcl}.bmp"; fi
  done
done
touch "$out/pages.stamp"
