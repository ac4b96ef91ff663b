# The distribution's compiler and linker flags for a package build (NOTECAST_DPKG_BUILDFLAGS,
# scripts/package-test.sh): what dpkg-buildflags gives, with every hardening feature asked for
# unless DEB_BUILD_MAINT_OPTIONS says otherwise: stack protector, fortified libc calls,
# format-string checks, read-only relocations and immediate binding. Asked from the source
# folder, so that its -ffile-prefix-map takes this folder out of what is built.
find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
if(DEFINED ENV{DEB_BUILD_MAINT_OPTIONS})
  set(maint_options "$ENV{DEB_BUILD_MAINT_OPTIONS}")
else()
  set(maint_options hardening=+all)
endif()
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=${maint_options}
      ${DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(dpkg_${kind} UNIX_COMMAND "${flags}")
endforeach()
add_compile_options(${dpkg_CPPFLAGS} ${dpkg_CXXFLAGS})
add_link_options(${dpkg_LDFLAGS})

# Stack clash protection: Debian 12's dpkg-buildflags leaves it out, later releases add it where
# the compiler has it. (Control-flow protection, -fcf-protection, would be lost at the link:
# Debian 12's C library start files do not have it, and a program has it only if all its parts do.)
include(CheckCXXCompilerFlag)
check_cxx_compiler_flag(-fstack-clash-protection NOTECAST_HAS_STACK_CLASH_PROTECTION)
if(NOTECAST_HAS_STACK_CLASH_PROTECTION)
  add_compile_options(-fstack-clash-protection)
endif()
message(STATUS "Distribution build flags: ${dpkg_CPPFLAGS} ${dpkg_CXXFLAGS} ${dpkg_LDFLAGS}")
