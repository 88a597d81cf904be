# Puts what ships beside the executable there, without replacing a file that is already there:
# KIVO.ini gains the product sections of the installers opened so far (and is kept read-only),
# and a rebuild must keep them.
file(GLOB_RECURSE shipped RELATIVE "${SRC}" "${SRC}/*")
foreach(f ${shipped})
  if(NOT EXISTS "${DST}/${f}")
    get_filename_component(dir "${DST}/${f}" DIRECTORY)
    file(COPY "${SRC}/${f}" DESTINATION "${dir}")
  endif()
endforeach()
