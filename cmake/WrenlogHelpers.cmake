# Adds the listed sub-folders of the current folder that have a CMakeLists.txt,
# so a component joins the build as soon as its folder exists.
function(wl_add_existing_subdirs)
  foreach(dir ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# wl_add_test(NAME name SOURCES ... LIBRARIES ... [TIMEOUT s])
# One GoogleTest executable, run by CTest on the offscreen platform with every
# configuration folder pointed at a temporary place (see tests/support/TestMain.cpp).
function(wl_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE wl_testmain ${T_LIBRARIES} GTest::gtest GTest::gmock)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# wl_add_bench(NAME bench_x SOURCES ... LIBRARIES ...)
# A benchmark executable in build/bench, run by scripts/bench.sh, never by CTest.
function(wl_add_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  set_target_properties(${B_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBRARIES})
  target_include_directories(${B_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/bench/support)
endfunction()
