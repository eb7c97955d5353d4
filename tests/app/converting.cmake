# Converting from the window: adding files, the wait dialog, the destination and the
# conversion loop, offscreen against the fake prober and encoder.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
add_executable(converting_test
  converting_test_main.cpp
  window_fixture.cpp
  adding_files_test.cpp
  wait_dlg_test.cpp
  destination_test.cpp
  conversion_control_test.cpp
)
target_link_libraries(converting_test PRIVATE nemarro_app nemarro_fakes Qt6::Test GTest::gtest nemarro_warnings)
gtest_discover_tests(converting_test DISCOVERY_TIMEOUT 30)

# The same window with the real cv.dat and pb.dat over the system's ffmpeg.
add_executable(converting_real_test
  converting_test_main.cpp
  window_fixture.cpp
  converting_real_test.cpp
)
target_link_libraries(converting_real_test PRIVATE nemarro_app nemarro_fakes Qt6::Test GTest::gtest nemarro_warnings)
target_compile_definitions(converting_real_test PRIVATE TOOLS_FOLDER="$<TARGET_FILE_DIR:cv_dat>")
add_dependencies(converting_real_test cv_dat pb_dat)
gtest_discover_tests(converting_real_test DISCOVERY_TIMEOUT 30 PROPERTIES TIMEOUT 300)
# The same window under a decimal-comma locale (scripts/setup generates de_DE.UTF-8).
add_test(NAME converting_real_under_de_DE
  COMMAND converting_real_test --gtest_filter=*UnderACommaLocale)
set_tests_properties(converting_real_under_de_DE PROPERTIES
  ENVIRONMENT "LANG=de_DE.UTF-8;LC_ALL=de_DE.UTF-8" TIMEOUT 120
  SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

# The real program on a virtual display, driven with real clicks.
add_executable(status_cell_reference status_cell_reference.cpp)
target_link_libraries(status_cell_reference PRIVATE nemarro_app nemarro_warnings)
add_test(NAME converting_under_xvfb
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/converting_under_xvfb.sh $<TARGET_FILE:nemarro>
    $<TARGET_FILE:cv_dat> $<TARGET_FILE:pb_dat> $<TARGET_FILE:status_cell_reference>
    ${CMAKE_CURRENT_BINARY_DIR}/xvfb-converting)
set_tests_properties(converting_under_xvfb PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180)

# What the desktop hears of a run; a private session bus (dbus-daemon) stands in for the
# desktop's.
add_executable(run_feedback_test
  converting_test_main.cpp
  window_fixture.cpp
  run_feedback_test.cpp
)
set_target_properties(run_feedback_test PROPERTIES AUTOMOC ON)
find_package(Qt6 REQUIRED COMPONENTS DBus)
target_link_libraries(run_feedback_test PRIVATE nemarro_app nemarro_fakes Qt6::DBus Qt6::Test GTest::gtest nemarro_warnings)
gtest_discover_tests(run_feedback_test DISCOVERY_TIMEOUT 30)
