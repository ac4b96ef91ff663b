# Run by cpack once it has staged the installation (CPACK_PRE_BUILD_SCRIPTS): the package's
# Depends, from the system libraries its programs and libraries link, as dpkg-shlibdeps finds
# them. CPack's own scan (CPACK_DEBIAN_PACKAGE_SHLIBDEPS) would also make maintainer scripts that
# run ldconfig for any library under /usr/lib, though the package's libraries are private
# (/usr/lib/notecast, found through the programs' RPATH).
set(root "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB_RECURSE staged LIST_DIRECTORIES false RELATIVE "${root}" "${root}/usr/*")
set(elf_files)
foreach(file IN LISTS staged)
  if(NOT IS_SYMLINK "${root}/${file}")
    file(READ "${root}/${file}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46")
      list(APPEND elf_files "${file}")
    endif()
  endif()
endforeach()
if(NOT elf_files)
  message(FATAL_ERROR "PackageDepends: no programs or libraries staged in ${root}")
endif()

# dpkg-shlibdeps wants a source package's debian/control, and a DEBIAN folder to know the
# package's root by when it resolves $ORIGIN; neither goes into the package.
file(MAKE_DIRECTORY "${root}/debian" "${root}/DEBIAN")
file(WRITE "${root}/debian/control" "")
execute_process(COMMAND dpkg-shlibdeps --ignore-missing-info -O ${elf_files}
  WORKING_DIRECTORY "${root}"
  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
file(REMOVE_RECURSE "${root}/debian" "${root}/DEBIAN")
if(NOT result EQUAL 0 OR NOT output MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "PackageDepends: dpkg-shlibdeps ${elf_files} failed: ${errors}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
message(STATUS "PackageDepends: Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
