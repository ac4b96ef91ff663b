# The format and lint checks as CTest tests, labelled lint (NOTECAST_LINT, scripts/lint.sh): the
# sources keep the project's format (.clang-format) and pass the clang-tidy checks (.clang-tidy).
# clang-tidy runs once per source file of the product, so CTest spreads the files over the cores;
# a header is checked in every file that includes it. clang-tidy reads the compile commands of
# this build folder and needs nothing of it built.
find_program(CLANG_FORMAT clang-format REQUIRED)
add_test(NAME format_check
  COMMAND sh -c "git ls-files '*.cpp' '*.h' | xargs ${CLANG_FORMAT} --dry-run --Werror"
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
set_tests_properties(format_check PROPERTIES LABELS lint TIMEOUT 300)

find_program(CLANG_TIDY NAMES clang-tidy clang-tidy-14 REQUIRED)
set(NOTECAST_SOURCE_FOLDERS abi os midi engine persistence window plugin host)
list(JOIN NOTECAST_SOURCE_FOLDERS "|" folder_choice)
foreach(folder ${NOTECAST_SOURCE_FOLDERS})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
    ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  foreach(source ${sources})
    add_test(NAME tidy/${source}
      COMMAND ${CLANG_TIDY} -quiet -p ${CMAKE_BINARY_DIR}
        "-header-filter=^${PROJECT_SOURCE_DIR}/(${folder_choice})/"
        ${PROJECT_SOURCE_DIR}/${source})
    set_tests_properties(tidy/${source} PROPERTIES LABELS lint TIMEOUT 300)
  endforeach()
endforeach()
