# SPDX-License-Identifier: MIT
# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE): the Debian
# package's Depends, as dpkg-shlibdeps finds them in the programs and the
# libraries, plus what it cannot see (CPACK_FERNPACK_EXTRA_DEPENDS).
#
# CPack's own CPACK_DEBIAN_PACKAGE_SHLIBDEPS would do the first half, but it
# also adds maintainer scripts that run ldconfig whenever a shared object
# lies below /usr/lib. Ours in /usr/lib/fernpack are private, loaded by full
# path, and ldconfig has nothing to do with them.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

find_program(DPKG_SHLIBDEPS dpkg-shlibdeps REQUIRED)
file(STRINGS "${CPACK_FERNPACK_ELF_LIST}" elf_files)
# dpkg-shlibdeps wants to run in a source tree: a control file is enough.
set(work "${CPACK_FERNPACK_WORK_DIR}")
file(REMOVE_RECURSE "${work}")
file(WRITE "${work}/debian/control" "Source: fernpack\n\nPackage: fernpack\nArchitecture: any\n")
execute_process(COMMAND ${DPKG_SHLIBDEPS} -O ${elf_files}
                WORKING_DIRECTORY "${work}"
                OUTPUT_VARIABLE found ERROR_VARIABLE problems RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT found MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps failed (${status}): ${problems}")
endif()
set(shlibs "${CMAKE_MATCH_1}")

set(depends "")
foreach(extra IN LISTS CPACK_FERNPACK_EXTRA_DEPENDS)
  # Named once: "libqt6svg6" is left out when dpkg-shlibdeps already has it.
  string(REGEX REPLACE " .*" "" first "${extra}")
  if(NOT ", ${shlibs}," MATCHES ", ${first}[ ,]")
    string(APPEND depends "${extra}, ")
  endif()
endforeach()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}${shlibs}")
