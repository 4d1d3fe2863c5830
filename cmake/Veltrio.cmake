# veltrio_add_test(NAME SOURCES... LIBS ...)
# One test binary per topic; it links only the libraries named, runs in the
# offscreen Qt platform and finds its fixtures through VELTRIO_TEST_DATA.
function(veltrio_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    VELTRIO_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    VELTRIO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VELTRIO_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VELTRIO_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data"
    DISCOVERY_TIMEOUT 60)
endfunction()
