# Packs the payload folder into Setup.zip so that every build gives the same bytes:
# members in sorted order, one fixed time stamp, no extra fields (-X), no folder entries (-D).
#   cmake -DPAYLOAD=<folder> -DARCHIVE=<Setup.zip> -P make_zip.cmake
foreach(var PAYLOAD ARCHIVE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_zip.cmake: ${var} is not set")
  endif()
endforeach()

file(GLOB_RECURSE members LIST_DIRECTORIES false RELATIVE ${PAYLOAD} ${PAYLOAD}/*)
list(SORT members)
if(NOT members)
  message(FATAL_ERROR "make_zip.cmake: ${PAYLOAD} holds no files")
endif()

# ZIP keeps the Unix mode too; fix it against the umask of whoever built the payload.
list(TRANSFORM members PREPEND ${PAYLOAD}/ OUTPUT_VARIABLE member_paths)
file(CHMOD ${member_paths} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# ZIP stores local time; with TZ fixed the stamp does not depend on the build machine.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env TZ=UTC touch -d "2001-05-04 12:00:00" ${members}
  WORKING_DIRECTORY ${PAYLOAD}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_zip.cmake: cannot set the time stamps in ${PAYLOAD}")
endif()

file(REMOVE ${ARCHIVE})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -X -D -q ${ARCHIVE} ${members}
  WORKING_DIRECTORY ${PAYLOAD}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${ARCHIVE})
  message(FATAL_ERROR "make_zip.cmake: zip failed for ${ARCHIVE}")
endif()
