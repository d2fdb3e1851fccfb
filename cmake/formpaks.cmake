# FormPaks and the sample return, made by the build from the IRS forms and the text
# descriptions in samples/ (format: samples/README.md):
#   build/formpaks/f1040.qvp           Form 1040 (2 pages, PCL)          <- irs-forms/f1040.pdf
#   build/formpaks/f1040s1.qvp         Schedule 1 (2 pages, PCL)         <- irs-forms/f1040s1.pdf
#   build/formpaks/f1040sb.qvp         Schedule B (PCL)                  <- irs-forms/f1040sb.pdf
#   build/formpaks/f1040sb-bitmap.qvp  Schedule B as a compressed BMP page (image source 219)
#   build/formpaks/f941.qvp            Form 941 (2 pages) and Schedule B (Form 941)
#   build/formpaks/mnm1pr.qvp          Form M1PR with "MN CRP" and "MN PROPST"
#   build/formpaks/fsales.qvp          Sales Worksheet: a statement, an attachment, field buttons
#   build/samples/Sample.qvr           a sample individual return (opened by scripts/run.sh)
#   build/samples/Import.qvr           a second return to import data from
#   build/samples/Sales.qvr            a return with the Sales Worksheet
# Page images are Ghostscript's ljet2p renditions (300-dpi PCL); field rectangles come from the
# PDFs' fillable fields through qpdf's JSON. qvtool.exe runs under Wine.

# The IRS PDFs: ../shared/irs-forms beside the checkout, or -DLEVYLINE_IRS_FORMS=<folder>.
set(LEVYLINE_IRS_FORMS ${CMAKE_SOURCE_DIR}/../shared/irs-forms CACHE PATH "Folder of the IRS form PDFs")
get_filename_component(LEVYLINE_IRS_FORMS ${LEVYLINE_IRS_FORMS} ABSOLUTE)
# A git worktree one folder further down (work/wt/NAME) finds the forms two folders up.
if(NOT EXISTS ${LEVYLINE_IRS_FORMS}/f1040.pdf AND EXISTS ${CMAKE_SOURCE_DIR}/../../shared/irs-forms/f1040.pdf)
  get_filename_component(LEVYLINE_IRS_FORMS ${CMAKE_SOURCE_DIR}/../../shared/irs-forms ABSOLUTE)
endif()
set(LEVYLINE_SAMPLES ${CMAKE_SOURCE_DIR}/samples)
set(FORMPAK_WORK ${CMAKE_BINARY_DIR}/formpaks/work)
set(FORMPAK_OUT ${CMAKE_BINARY_DIR}/formpaks)

find_program(GHOSTSCRIPT_PROGRAM gs)
find_program(QPDF_PROGRAM qpdf)
find_program(WINE_PROGRAM wine)

if(NOT GHOSTSCRIPT_PROGRAM OR NOT QPDF_PROGRAM OR NOT WINE_PROGRAM OR NOT EXISTS ${LEVYLINE_IRS_FORMS}/f1040.pdf)
  message(WARNING "FormPaks are not made: Ghostscript, qpdf, Wine or ${LEVYLINE_IRS_FORMS} is missing")
  add_custom_target(formpaks)   # scripts/run.sh builds it with the program
  return()
endif()

file(MAKE_DIRECTORY ${FORMPAK_WORK} ${FORMPAK_OUT} ${CMAKE_BINARY_DIR}/samples)

# qvtool runs one at a time: the first run may create the Wine prefix.
set_property(GLOBAL APPEND PROPERTY JOB_POOLS levyline_wine=1)
set(QVTOOL_RUN ${CMAKE_COMMAND} -E env
    WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEARCH=win32 WINEDEBUG=-all
    "WINEDLLOVERRIDES=mscoree,mshtml="
    QVTOOL_WORK=${FORMPAK_WORK} QVTOOL_PCLDIR=${FORMPAK_WORK}
    ${WINE_PROGRAM} $<TARGET_FILE:qvtool>)
# Ghostscript notes every check box of the IRS forms that has no appearance of its own (it draws
# none; the program draws its check marks itself): those notes are dropped, any other message
# still shows and a failure still fails the step.
set(GS_RUN bash -o pipefail -c "\"$@\" 2>&1 >/dev/null | sed -e '/with no AP not implemented/d' -e '/Radio = FALSE, Pushbutton = FALSE/d' >&2" gs
    ${GHOSTSCRIPT_PROGRAM})
set(GS_PCL ${GS_RUN} -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ljet2p -r300 -sPAPERSIZE=letter)

# Ghostscript renditions: <name>-1.pcl ... <name>-<pages>.pcl of a PDF or PostScript file.
function(levyline_render_pages source name pages)
  set(outputs)
  foreach(i RANGE 1 ${pages})
    list(APPEND outputs ${FORMPAK_WORK}/${name}-${i}.pcl)
  endforeach()
  add_custom_command(OUTPUT ${outputs}
    COMMAND ${GS_PCL} -sOutputFile=${FORMPAK_WORK}/${name}-%d.pcl ${source}
    DEPENDS ${source}
    COMMENT "Ghostscript: ${name} pages as PCL" VERBATIM)
  set(LEVYLINE_RENDITIONS ${LEVYLINE_RENDITIONS} ${outputs} PARENT_SCOPE)
endfunction()

# The fillable fields of an IRS PDF as qpdf's JSON.
function(levyline_pdf_fields name)
  add_custom_command(OUTPUT ${FORMPAK_WORK}/${name}.json
    COMMAND ${QPDF_PROGRAM} --json=2 --json-key=acroform --json-key=qpdf
            ${LEVYLINE_IRS_FORMS}/${name}.pdf ${FORMPAK_WORK}/${name}.json
    DEPENDS ${LEVYLINE_IRS_FORMS}/${name}.pdf
    COMMENT "qpdf: fields of ${name}.pdf" VERBATIM)
endfunction()

set(LEVYLINE_RENDITIONS)
levyline_render_pages(${LEVYLINE_IRS_FORMS}/f1040.pdf f1040 2)
levyline_render_pages(${LEVYLINE_IRS_FORMS}/f1040s1.pdf f1040s1 2)
levyline_render_pages(${LEVYLINE_IRS_FORMS}/f1040sb.pdf f1040sb 1)
levyline_render_pages(${LEVYLINE_SAMPLES}/formpaks/form-941.ps form-941 2)
levyline_render_pages(${LEVYLINE_SAMPLES}/formpaks/schedule-b-941.ps schedule-b-941 1)
levyline_render_pages(${LEVYLINE_SAMPLES}/formpaks/mn-m1pr.ps mn-m1pr 1)
levyline_render_pages(${LEVYLINE_SAMPLES}/formpaks/mn-crp.ps mn-crp 1)
levyline_render_pages(${LEVYLINE_SAMPLES}/formpaks/mn-propst.ps mn-propst 1)
levyline_render_pages(${LEVYLINE_SAMPLES}/formpaks/sales-worksheet.ps sales-worksheet 1)
levyline_pdf_fields(f1040)
levyline_pdf_fields(f1040s1)
levyline_pdf_fields(f1040sb)

# The 4-bit bitmap of Schedule B (a 2550 x 3300 letter page; qvtool cuts the program's page).
add_custom_command(OUTPUT ${FORMPAK_WORK}/f1040sb-1.bmp
  COMMAND ${GS_RUN} -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=bmp16 -r300 -sPAPERSIZE=letter
          -dFirstPage=1 -dLastPage=1 -sOutputFile=${FORMPAK_WORK}/f1040sb-1.bmp ${LEVYLINE_IRS_FORMS}/f1040sb.pdf
  DEPENDS ${LEVYLINE_IRS_FORMS}/f1040sb.pdf
  COMMENT "Ghostscript: Schedule B as a bitmap" VERBATIM)

file(GLOB LEVYLINE_DESCRIPTIONS ${LEVYLINE_SAMPLES}/formpaks/*.txt)

# One FormPak from its description.
function(levyline_formpak description output)
  add_custom_command(OUTPUT ${FORMPAK_OUT}/${output}
    COMMAND ${QVTOOL_RUN} build ${LEVYLINE_SAMPLES}/formpaks/${description} ${FORMPAK_OUT}/${output}
    DEPENDS qvtool ${LEVYLINE_DESCRIPTIONS} ${LEVYLINE_RENDITIONS} ${ARGN}
    JOB_POOL levyline_wine
    COMMENT "qvtool: ${output}" VERBATIM)
endfunction()

levyline_formpak(form-1040.txt f1040.qvp ${FORMPAK_WORK}/f1040.json)
levyline_formpak(schedule-1.txt f1040s1.qvp ${FORMPAK_WORK}/f1040s1.json)
levyline_formpak(schedule-b.txt f1040sb.qvp ${FORMPAK_WORK}/f1040sb.json)
levyline_formpak(schedule-b-bitmap.txt f1040sb-bitmap.qvp ${FORMPAK_WORK}/f1040sb.json ${FORMPAK_WORK}/f1040sb-1.bmp)
levyline_formpak(form-941.txt f941.qvp)
levyline_formpak(mn-m1pr.txt mnm1pr.qvp)
levyline_formpak(sales-worksheet.txt fsales.qvp)

set(LEVYLINE_FORMPAKS f1040.qvp f1040s1.qvp f1040sb.qvp f1040sb-bitmap.qvp f941.qvp mnm1pr.qvp fsales.qvp)
list(TRANSFORM LEVYLINE_FORMPAKS PREPEND ${FORMPAK_OUT}/)

add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/samples/Sample.qvr
  COMMAND ${QVTOOL_RUN} build ${LEVYLINE_SAMPLES}/sample-return.txt ${CMAKE_BINARY_DIR}/samples/Sample.qvr ${FORMPAK_OUT}
  DEPENDS qvtool ${LEVYLINE_SAMPLES}/sample-return.txt ${LEVYLINE_FORMPAKS}
  JOB_POOL levyline_wine
  COMMENT "qvtool: samples/Sample.qvr" VERBATIM)

# The second sample returns: one to import data from, one with the Sales Worksheet.
foreach(pair "import-return.txt;Import.qvr" "sales-return.txt;Sales.qvr")
  list(GET pair 0 description)
  list(GET pair 1 output)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/samples/${output}
    COMMAND ${QVTOOL_RUN} build ${LEVYLINE_SAMPLES}/${description} ${CMAKE_BINARY_DIR}/samples/${output} ${FORMPAK_OUT}
    DEPENDS qvtool ${LEVYLINE_SAMPLES}/${description} ${LEVYLINE_FORMPAKS}
    JOB_POOL levyline_wine
    COMMENT "qvtool: samples/${output}" VERBATIM)
endforeach()

add_custom_target(formpaks ALL DEPENDS ${LEVYLINE_FORMPAKS} ${CMAKE_BINARY_DIR}/samples/Sample.qvr
                  ${CMAKE_BINARY_DIR}/samples/Import.qvr ${CMAKE_BINARY_DIR}/samples/Sales.qvr)
