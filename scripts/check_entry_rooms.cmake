# cmake -DROOT=<checkout> -P scripts/check_entry_rooms.cmake
# Fails when a file includes a header of a data-entry room (entry/<room>/) that is neither the
# room's public header (entry/<room>/<room>.h) nor its resource ids (entry/<room>/*_ids.h),
# unless the file belongs to that room (entry/<room>/ or tests/entry/<room>/).
file(GLOB_RECURSE files RELATIVE ${ROOT}
     ${ROOT}/store/*.[ch]* ${ROOT}/calc/*.[ch]* ${ROOT}/prepare/*.[ch]* ${ROOT}/transmit/*.[ch]*
     ${ROOT}/canvas/*.[ch]* ${ROOT}/ui/*.[ch]* ${ROOT}/pages/*.[ch]* ${ROOT}/print/*.[ch]*
     ${ROOT}/entry/*.[ch]* ${ROOT}/shell/*.[ch]* ${ROOT}/tests/*.[ch]* ${ROOT}/tools/*.[ch]*
     ${ROOT}/resources/*.rc)
set(faults "")
foreach(f ${files})
  set(own "")
  if(f MATCHES "^(tests/)?entry/([a-z0-9_]+)/")
    set(own ${CMAKE_MATCH_2})
  endif()
  file(STRINGS ${ROOT}/${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"entry/[a-z0-9_]+/")
  foreach(line ${lines})
    string(REGEX MATCH "entry/([a-z0-9_]+)/([A-Za-z0-9_.]+)" inc "${line}")
    set(room ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    if(NOT room STREQUAL own AND NOT name STREQUAL "${room}.h" AND NOT name MATCHES "_ids\\.h$")
      string(APPEND faults "  ${f}: ${inc}\n")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "Private headers of another room of entry/ included:\n${faults}")
endif()
