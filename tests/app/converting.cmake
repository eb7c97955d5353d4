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
