# tellurim_library(NAME DEPS...): one static library per source folder, made of every
# .cpp file of the folder, so that adding a file needs no edit here.
function(tellurim_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(tellurim_${name} STATIC ${sources})
    target_include_directories(tellurim_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(tellurim_${name} PUBLIC ${ARGN})
  else()
    add_library(tellurim_${name} INTERFACE)
    target_include_directories(tellurim_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(tellurim_${name} INTERFACE ${ARGN})
  endif()
endfunction()

# tellurim_tests(NAME DEPS...): one test program per test folder, made of every *_test.cpp.
function(tellurim_tests name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name}_tests ${sources})
  target_link_libraries(${name}_tests PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name}_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name}_tests PRIVATE
    TELLURIM_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    TELLURIM_BIN_DIR="${TELLURIM_BIN_DIR}"
    TELLURIM_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name}_tests DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "TELLURIM_BIN_DIR=${TELLURIM_BIN_DIR}")
endfunction()
