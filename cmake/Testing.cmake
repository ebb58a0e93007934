find_program(XVFB_RUN xvfb-run)

# The command that runs EXE for a test that needs an X server: each such test gets an Xvfb
# of its own, so that windows of tests running in parallel never cover each other (the
# OpenGL tests read their pixels back from the screen).
function(gyro_x_command out exe)
  get_property(number GLOBAL PROPERTY GYRO_NEXT_X_SERVER)
  if(NOT number)
    set(number 140)
  endif()
  math(EXPR next "${number} + 1")
  set_property(GLOBAL PROPERTY GYRO_NEXT_X_SERVER ${next})
  if(XVFB_RUN)
    set(${out} ${XVFB_RUN} -a -n ${number} -s "-screen 0 1600x1200x24 -nolisten tcp" $<TARGET_FILE:${exe}> PARENT_SCOPE)
  else()
    set(${out} $<TARGET_FILE:${exe}> PARENT_SCOPE)
  endif()
endfunction()

# gyro_add_gtest(NAME SOURCES files... LIBS libs... [OWN_MAIN] [ENV vars...])
# One test executable, registered with CTest as one test. OWN_MAIN for tests that
# bring their own main (the window tests create a QApplication first). A test whose
# ENV asks for QT_QPA_PLATFORM=xcb runs under its own X server.
function(gyro_add_gtest name)
  cmake_parse_arguments(T "OWN_MAIN" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock ${T_LIBS})
  if(NOT T_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gyro_warnings(${name})
  gyro_add_test_run(${name} ${name} ENV ${T_ENV})
endfunction()

# gyro_add_test_run(TESTNAME EXECUTABLE [ENV vars...]): one more CTest test of a built
# test executable, e.g. the same window tests under another locale.
function(gyro_add_test_run test exe)
  cmake_parse_arguments(T "" "" "ENV" ${ARGN})
  if("QT_QPA_PLATFORM=xcb" IN_LIST T_ENV)
    gyro_x_command(command ${exe})
    list(APPEND T_ENV LIBGL_ALWAYS_SOFTWARE=1)
  else()
    set(command ${exe})
  endif()
  add_test(NAME ${test} COMMAND ${command})
  set_tests_properties(${test} PROPERTIES TIMEOUT 600)
  if(T_ENV)
    set_tests_properties(${test} PROPERTIES ENVIRONMENT "${T_ENV}")
  endif()
endfunction()
