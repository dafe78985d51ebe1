# Adds the packagers' round trips' files to a payload folder: COUNT small files in 40 folders,
# every tenth with umlauts in its name, and folders without files, one of them nested.
#   cmake -DFOLDER=<payload> -DCOUNT=<files> -P many_files_payload.cmake
foreach(var FOLDER COUNT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "many_files_payload.cmake: ${var} is not set")
  endif()
endforeach()
foreach(i RANGE 1 ${COUNT})
  math(EXPR folder "${i} % 40")
  math(EXPR tenth "${i} % 10")
  if(tenth EQUAL 0)
    set(name "Klingelton-Größe-${i}.txt")
  else()
    set(name "Datei-${i}.txt")
  endif()
  file(WRITE "${FOLDER}/Viele/Ordner-${folder}/${name}" "Talvenor ${i}\n")
endforeach()
file(MAKE_DIRECTORY "${FOLDER}/Leer" "${FOLDER}/Ablage/Ältere Töne")
