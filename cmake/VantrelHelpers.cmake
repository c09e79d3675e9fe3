# One test program, registered with CTest under its area's label (and
# "sanitized" when its area is one of VANTREL_SANITIZED_AREAS).
#   vantrel_add_test(NAME tst_x LABEL area SOURCES files... [LIBS libs...] [DEPENDS targets...] [TIMEOUT s]
#                    [RUN_WITH wrapper args...])
# Offscreen tests draw on a desktop-sized screen (the platform's own is
# 800 by 600, smaller than the main window).
set(VANTREL_OFFSCREEN_SCREEN ${CMAKE_SOURCE_DIR}/tests/support/offscreen-screen.json)

function(vantrel_add_test)
  cmake_parse_arguments(ARG "" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS;DEPENDS;RUN_WITH" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE vantrel_testsupport ${ARG_LIBS} Qt6::Test)
  target_include_directories(${ARG_NAME} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  # A test's own code is compiled unoptimised: half the compile time, and
  # nothing it measures runs in it (the code under test keeps its flags).
  target_compile_options(${ARG_NAME} PRIVATE -O0)
  if(ARG_DEPENDS)
    add_dependencies(${ARG_NAME} ${ARG_DEPENDS})
  endif()
  add_test(NAME ${ARG_NAME} COMMAND ${ARG_RUN_WITH} $<TARGET_FILE:${ARG_NAME}>)
  set(_labels ${ARG_LABEL})
  if(ARG_LABEL IN_LIST VANTREL_SANITIZED_AREAS)
    list(APPEND _labels sanitized)
    set_property(GLOBAL APPEND PROPERTY VANTREL_SANITIZED_TESTS ${ARG_NAME})
  endif()
  set_tests_properties(${ARG_NAME} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${_labels}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${VANTREL_OFFSCREEN_SCREEN};VANTREL_BUILD_DIR=${CMAKE_BINARY_DIR};VANTREL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()
