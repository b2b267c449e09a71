# The sound engine, number speech and MP3 music, played out on
# the simulated desktop over a stand-in sound tree.
add_executable(engine_tests
  ${CMAKE_CURRENT_LIST_DIR}/SoundEngineTests.cpp)
target_link_libraries(engine_tests PRIVATE
  strikora_audio strikora_app strikora_platform_sim strikora_test_support GTest::gtest_main)
gtest_discover_tests(engine_tests)
