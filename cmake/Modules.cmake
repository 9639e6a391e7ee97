# qv_add_module(NAME FILE_NAME SOURCES...)
# Builds an ELF shared object that stands for a Windows module: named as the platform
# names it (for example "qorvexdata.dll"), placed in the driver directory, exporting only
# the symbols marked DLLEXPORT, and linked against the shared platform layer.
function(qv_add_module target file_name)
  add_library(${target} MODULE ${ARGN})
  get_filename_component(base ${file_name} NAME_WE)
  get_filename_component(ext ${file_name} LAST_EXT)
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${base} SUFFIX ${ext}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${QV_DRIVER_DIR})
  target_link_libraries(${target} PRIVATE platform)
  # clang leaves the sanitizer and fuzzer runtimes to the executable that loads the module.
  if(NOT ((QV_SANITIZE OR QV_FUZZ) AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang"))
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()

# qv_add_test_module(NAME FILE_NAME SOURCES...)
# A module that only tests load: built like a deliverable, placed in the test directory.
function(qv_add_test_module target file_name)
  qv_add_module(${target} ${file_name} ${ARGN})
  set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${QV_TEST_DRIVER_DIR})
endfunction()

# qv_add_test(NAME SOURCES... [LIBS libs...])
# A GoogleTest executable registered with CTest.
function(qv_add_test target)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  add_executable(${target} ${T_UNPARSED_ARGUMENTS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # The test's own libraries come first, so that only the test's references pull their objects
  # in; the test framework's references then resolve in the runtime libraries.
  target_link_libraries(${target} PRIVATE ${T_LIBS} platform GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE QV_DRIVER_DIR="${QV_DRIVER_DIR}" QV_TEST_DRIVER_DIR="${QV_TEST_DRIVER_DIR}"
                                               QV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QV_DRIVER_DIR=${QV_DRIVER_DIR}")
  # The whole binary once more in one process, its tests in shuffled order, so that a test that
  # depends on what another left behind in the process fails (GoogleTest prints the seed;
  # --gtest_random_seed=N repeats the order). It is the longest entry: ctest starts it first.
  if(NOT target IN_LIST QV_ORDER_DEPENDENT_TESTS)
    add_test(NAME ${target}.shuffled COMMAND ${target} --gtest_shuffle)
    set_tests_properties(${target}.shuffled PROPERTIES ENVIRONMENT "QV_DRIVER_DIR=${QV_DRIVER_DIR}"
                         LABELS shuffled COST 1000)
  endif()
endfunction()

# Test binaries whose tests still read the core's per-process state an earlier test left behind
# (the user's name and locale the core caches, the fax information key): they join the shuffled
# run once that state is reset with the sandbox.
set(QV_ORDER_DEPENDENT_TESTS test_core_job_fax test_core_messages test_persist_user)
# qv_add_area_folders(DIR [SKIP regex])
# Tests, benchmarks and fuzz targets mirror the code's folders: every folder below DIR with a
# CMakeLists.txt joins the build; a folder without one is searched one level further. Folders
# whose path matches SKIP (data, corpora, support added elsewhere) are left out.
function(qv_add_area_folders dir)
  cmake_parse_arguments(A "" "SKIP" "" ${ARGN})
  file(GLOB areas LIST_DIRECTORIES true CONFIGURE_DEPENDS ${dir}/*)
  foreach(area ${areas})
    if(NOT IS_DIRECTORY ${area} OR (A_SKIP AND area MATCHES "${A_SKIP}"))
      continue()
    elseif(EXISTS ${area}/CMakeLists.txt)
      add_subdirectory(${area})
    else()
      qv_add_area_folders(${area} SKIP "${A_SKIP}")
    endif()
  endforeach()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/Resources.cmake)
