cmake_policy(VERSION 3.25)
# Installs the build into a scratch prefix and checks what lies there: the executable in bin with
# the shipped KIVO.ini beside it, and that installing again keeps a KIVO.ini that the tool has
# since written and made read-only.
# BUILD: the build directory; SHIPPED: the folder of shipped files; PREFIX: the scratch prefix.
function(kivo_install)
  execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${out}")
  endif()
endfunction()

function(kivo_expect_same_text file expected what)
  file(SHA256 "${file}" got)
  if(NOT got STREQUAL expected)
    message(FATAL_ERROR "${file}: ${what}")
  endif()
endfunction()

set(bin "${PREFIX}/bin")
if(EXISTS "${bin}/KIVO.ini")
  file(CHMOD "${bin}/KIVO.ini" PERMISSIONS OWNER_READ OWNER_WRITE)
endif()
file(REMOVE_RECURSE "${PREFIX}")

kivo_install()
if(NOT EXISTS "${bin}/kivotool" OR IS_DIRECTORY "${bin}/kivotool")
  message(FATAL_ERROR "no ${bin}/kivotool")
endif()
execute_process(COMMAND test -x "${bin}/kivotool" RESULT_VARIABLE notExecutable)
if(notExecutable)
  message(FATAL_ERROR "${bin}/kivotool is not executable")
endif()
file(SHA256 "${SHIPPED}/KIVO.ini" shipped)
kivo_expect_same_text("${bin}/KIVO.ini" "${shipped}" "is not the shipped KIVO.ini")

# What the tool leaves after opening a product: a section more, and the file read-only.
file(APPEND "${bin}/KIVO.ini" "[Some Product]\r\nSetupTitle=Factory\r\n")
file(CHMOD "${bin}/KIVO.ini" PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
file(SHA256 "${bin}/KIVO.ini" used)
kivo_install()
kivo_expect_same_text("${bin}/KIVO.ini" "${used}" "a second install replaced the KIVO.ini in use")

file(CHMOD "${bin}/KIVO.ini" PERMISSIONS OWNER_READ OWNER_WRITE)
file(REMOVE_RECURSE "${PREFIX}")
