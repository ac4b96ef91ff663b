# The format and lint checks as CTest tests, labelled lint (NOTECAST_LINT, scripts/lint.sh): the
# sources keep the project's format (.clang-format) and pass the clang-tidy checks (.clang-tidy).
# Included after every target exists. This build folder is configured and never built:
# clang-tidy reads its compile commands only.
find_program(CLANG_FORMAT clang-format REQUIRED)
add_test(NAME format_check
  COMMAND sh -c "git ls-files '*.cpp' '*.h' | xargs ${CLANG_FORMAT} --dry-run --Werror"
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
set_tests_properties(format_check PROPERTIES LABELS lint TIMEOUT 900)

# clang-tidy checks one library (or program) of the product at a time, all its sources in one
# compilation (a unity file), a test each. Every compilation costs the matching of the whole of
# the Qt and standard headers it reads, which clang-tidy does even though it reports nothing
# there: a file at a time took five times as long for the same checks of the same code. The
# sources are reported as the headers are (-header-filter); a source that builds with flags of
# its own, which a unity file cannot give it, is checked on its own.
find_program(CLANG_TIDY NAMES clang-tidy clang-tidy-14 REQUIRED)
set(NOTECAST_SOURCE_FOLDERS abi os midi engine persistence core window plugin host)
list(JOIN NOTECAST_SOURCE_FOLDERS "|" folder_choice)
set(tidy ${CLANG_TIDY} -quiet --config-file=${PROJECT_SOURCE_DIR}/.clang-tidy
  -p ${CMAKE_BINARY_DIR} "-header-filter=^${PROJECT_SOURCE_DIR}/(${folder_choice})/")
set(NOTECAST_LINT_TARGETS notecast_abi LumoTypeLib notecast_os notecast_midi notecast_engine
  notecast_persistence notecast_core notecast_window notecast_plugin Notecast notecast_host_dmx
  notecast_host_session notecast_host_script notecast_host_desktop notecast_host_web notecast_host_app
  notecast-host-core notecast-host)
# Every source of the product folders MUST belong to one of these libraries: checked below.
foreach(folder ${NOTECAST_SOURCE_FOLDERS})
  file(GLOB_RECURSE folder_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  list(APPEND unchecked_sources ${folder_sources})
endforeach()
foreach(target ${NOTECAST_LINT_TARGETS})
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0
    # The unity file's own includes of .cpp files are the point of it.
    UNITY_BUILD_CODE_BEFORE_INCLUDE "// NOLINTNEXTLINE(bugprone-suspicious-include)")
  get_target_property(binary_dir ${target} BINARY_DIR)
  get_target_property(source_dir ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  add_test(NAME tidy/${target}
    COMMAND ${tidy} ${binary_dir}/CMakeFiles/${target}.dir/Unity/unity_0_cxx.cxx)
  set_tests_properties(tidy/${target} PROPERTIES LABELS lint TIMEOUT 900)
  foreach(source ${sources})
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${source_dir})
    list(REMOVE_ITEM unchecked_sources ${path})
    get_source_file_property(definitions ${path} DIRECTORY ${source_dir} COMPILE_DEFINITIONS)
    if(definitions)
      file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR} ${path})
      add_test(NAME tidy/${name} COMMAND ${tidy} ${path})
      set_tests_properties(tidy/${name} PROPERTIES LABELS lint TIMEOUT 900)
    endif()
  endforeach()
endforeach()
if(unchecked_sources)
  message(FATAL_ERROR "No lint check covers ${unchecked_sources}: add its library to "
    "NOTECAST_LINT_TARGETS in cmake/Lint.cmake")
endif()
