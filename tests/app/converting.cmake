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
