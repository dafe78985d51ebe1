# Copies the medium's programs under their medium names. Each variable holds the built
# file, or is empty while the program's target does not exist in this build.
#   cmake -DMEDIUM=<folder> -DSETUP=<file> -DUNINSTALL=<file> -DUNZIPLIB=<file> -P copy_programs.cmake
set(names SETUP setup.exe UNINSTALL UnInstall.exe UNZIPLIB UNZIPLIB.DLL)
while(names)
  list(POP_FRONT names var name)
  if(${var})
    file(COPY_FILE ${${var}} ${MEDIUM}/${name} ONLY_IF_DIFFERENT)
  endif()
endwhile()
