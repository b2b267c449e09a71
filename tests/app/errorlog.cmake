# The error log's record layout, and how it survives a missing buzzer or an unwritable folder.
add_executable(errorlog_tests ${CMAKE_CURRENT_LIST_DIR}/ErrorLogTests.cpp)
target_link_libraries(errorlog_tests PRIVATE
  strikora_app strikora_audio strikora_platform_sim strikora_test_support GTest::gtest_main)
gtest_discover_tests(errorlog_tests)
