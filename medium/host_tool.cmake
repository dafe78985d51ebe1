# Builds make-medium in a native build folder, configuring the folder first when it has no
# build yet. Run by the Windows build, whose compiler makes no programs for this machine.
#   cmake -DSOURCE=<tree> -DBINARY=<native build folder> [-DLAUNCHER=ccache] -P host_tool.cmake
foreach(var SOURCE BINARY)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "host_tool.cmake: ${var} is not set")
  endif()
endforeach()

if(NOT EXISTS ${BINARY}/CMakeCache.txt)
  set(launcher)
  if(LAUNCHER)
    set(launcher -DCMAKE_C_COMPILER_LAUNCHER=${LAUNCHER} -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
  endif()
  # A plain environment: the Windows build's compiler settings must not leak into this one.
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=CC --unset=CXX
            ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} -G Ninja -DCMAKE_BUILD_TYPE=Release ${launcher}
    OUTPUT_QUIET
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "host_tool.cmake: configuring the native build in ${BINARY} failed")
  endif()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --target make-medium RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "host_tool.cmake: building make-medium in ${BINARY} failed")
endif()
