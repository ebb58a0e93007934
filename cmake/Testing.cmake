find_program(XVFB_RUN xvfb-run)

# Font configurations for the tests that draw text. GYRO_TEST_FONTS holds only the faces
# scripts/deps.sh installs (Liberation, the core DejaVu faces); GYRO_TEST_FONTS_URW adds
# ghostscript's URW faces, which many desktops have and which answer for "Symbol",
# "Helvetica" and "Times" when present.
function(gyro_write_font_config out name dirs globs)
  set(GYRO_TEST_FONT_DIRS "")
  foreach(dir IN LISTS dirs)
    string(APPEND GYRO_TEST_FONT_DIRS "  <dir>${dir}</dir>\n")
  endforeach()
  set(GYRO_TEST_FONT_GLOBS "")
  foreach(glob IN LISTS globs)
    string(APPEND GYRO_TEST_FONT_GLOBS "      <glob>${glob}</glob>\n")
  endforeach()
  set(GYRO_TEST_FONT_CACHE ${CMAKE_BINARY_DIR}/tests/fontconfig-cache)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/TestFonts.conf.in ${CMAKE_BINARY_DIR}/tests/${name}.conf @ONLY)
  set(${out} ${CMAKE_BINARY_DIR}/tests/${name}.conf PARENT_SCOPE)
endfunction()

set(gyro_font_dirs /usr/share/fonts/truetype/liberation /usr/share/fonts/truetype/dejavu)
set(gyro_font_globs /usr/share/fonts/truetype/liberation/*)
foreach(face DejaVuSans DejaVuSans-Bold DejaVuSerif DejaVuSerif-Bold DejaVuSansMono DejaVuSansMono-Bold)
  list(APPEND gyro_font_globs /usr/share/fonts/truetype/dejavu/${face}.ttf)
endforeach()
gyro_write_font_config(GYRO_TEST_FONTS project-fonts "${gyro_font_dirs}" "${gyro_font_globs}")
set(gyro_urw_dirs /usr/share/fonts/opentype/urw-base35 /usr/share/fonts/type1/urw-base35)
set(gyro_urw_globs /usr/share/fonts/opentype/urw-base35/* /usr/share/fonts/type1/urw-base35/*)
gyro_write_font_config(GYRO_TEST_FONTS_URW project-fonts-urw "${gyro_font_dirs};${gyro_urw_dirs}"
                       "${gyro_font_globs};${gyro_urw_globs}")

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
# test executable, e.g. the same window tests under another locale. Tests that draw
# with Qt see the project's fonts only, unless ENV names another FONTCONFIG_FILE.
function(gyro_add_test_run test exe)
  cmake_parse_arguments(T "" "" "ENV" ${ARGN})
  if("QT_QPA_PLATFORM=xcb" IN_LIST T_ENV)
    gyro_x_command(command ${exe})
    list(APPEND T_ENV LIBGL_ALWAYS_SOFTWARE=1)
  else()
    set(command ${exe})
  endif()
  if(T_ENV MATCHES "QT_QPA_PLATFORM=" AND NOT T_ENV MATCHES "FONTCONFIG_FILE=")
    list(APPEND T_ENV FONTCONFIG_FILE=${GYRO_TEST_FONTS})
  endif()
  add_test(NAME ${test} COMMAND ${command})
  set_tests_properties(${test} PROPERTIES TIMEOUT 600)
  if(T_ENV)
    set_tests_properties(${test} PROPERTIES ENVIRONMENT "${T_ENV}")
  endif()
endfunction()
