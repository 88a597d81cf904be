# Puts what ships beside the executable there, without replacing a file that is already there:
# KIVO.ini gains the product sections of the installers opened so far (and is kept read-only),
# and a rebuild or a new install must keep them.
# SRC: the folder of shipped files; DST: the executable's folder; REPORT: name each file (install).
cmake_policy(VERSION 3.25)
file(GLOB_RECURSE shipped RELATIVE "${SRC}" "${SRC}/*")
foreach(f ${shipped})
  if(NOT EXISTS "${DST}/${f}")
    get_filename_component(dir "${DST}/${f}" DIRECTORY)
    file(COPY "${SRC}/${f}" DESTINATION "${dir}")
    if(REPORT)
      message(STATUS "Installing: ${DST}/${f}")
    endif()
  elseif(REPORT)
    message(STATUS "Kept (already there): ${DST}/${f}")
  endif()
endforeach()
