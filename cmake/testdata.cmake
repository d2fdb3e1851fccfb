# Test pages of the page interpreter: the IRS forms through Ghostscript (PCL streams and
# reference bitmaps) in <build>/testdata, made by tools/make-test-pages.sh.
set(PAGES_TESTDATA_DIR ${CMAKE_BINARY_DIR}/testdata)
add_custom_command(OUTPUT ${PAGES_TESTDATA_DIR}/pages.stamp
  COMMAND bash ${CMAKE_SOURCE_DIR}/tools/make-test-pages.sh ${PAGES_TESTDATA_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make-test-pages.sh
  COMMENT "Making the interpreter's test pages with Ghostscript")
add_custom_target(pages_testdata ALL DEPENDS ${PAGES_TESTDATA_DIR}/pages.stamp)
