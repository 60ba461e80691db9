# zyl_module(NAME DEPS <targets...>)
# Builds src/NAME/**/*.cpp into the static library zyl_NAME. A module without sources yet
# becomes an INTERFACE library so that dependants can already name it.
#
# Each module sees only its own headers and those of the modules it links: its include root is
# a folder holding one link, NAME -> src/NAME, and the roots of its dependencies come with them.
# An include of a module it does not depend on therefore fails to compile.
function(zyl_module name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  set(root ${PROJECT_BINARY_DIR}/include-roots/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${name} ${root}/${name} SYMBOLIC)
  if(sources)
    add_library(zyl_${name} STATIC ${sources})
    target_include_directories(zyl_${name} PUBLIC ${root})
    target_link_libraries(zyl_${name} PUBLIC ${ARG_DEPS})
    set_target_properties(zyl_${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  else()
    add_library(zyl_${name} INTERFACE)
    target_include_directories(zyl_${name} INTERFACE ${root})
    target_link_libraries(zyl_${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# zyl_test(MODULE DEPS <targets...>): tests/MODULE/*.cpp into MODULE_tests, registered with CTest.
function(zyl_test module)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${module}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${module}_tests ${sources})
  target_link_libraries(${module}_tests PRIVATE ${ARG_DEPS} zyl_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  # Documents and archives are read by the reader program.
  if(TARGET zyl-reader)
    add_dependencies(${module}_tests zyl-reader)
  endif()
  gtest_discover_tests(${module}_tests
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "ZYL_FIXTURES=${CMAKE_CURRENT_SOURCE_DIR}/fixtures")
endfunction()
