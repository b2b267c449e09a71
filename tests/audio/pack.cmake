add_executable(pack_tests ${CMAKE_CURRENT_LIST_DIR}/PackReaderTests.cpp)
target_link_libraries(pack_tests PRIVATE strikora_pack strikora_test_tempdir GTest::gtest_main)
gtest_discover_tests(pack_tests)
