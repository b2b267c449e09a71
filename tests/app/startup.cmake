add_executable(startup_tests
  ${CMAKE_CURRENT_LIST_DIR}/StartupTests.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DamagedFilesTests.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SingleInstanceTests.cpp
)
target_link_libraries(startup_tests PRIVATE strikora_app strikora_platform_sim
                                            strikora_test_support GTest::gtest_main)
gtest_discover_tests(startup_tests)
