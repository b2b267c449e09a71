# A game killed while it writes its files: the churn changes them until the test kills it.
if(TARGET strikora_platform_sdl)
  add_executable(file_churn ${CMAKE_CURRENT_LIST_DIR}/FileChurn.cpp)
  target_link_libraries(file_churn PRIVATE strikora_players strikora_platform_sdl)
  add_executable(crash_safety_tests ${CMAKE_CURRENT_LIST_DIR}/CrashSafetyTests.cpp)
  target_link_libraries(crash_safety_tests PRIVATE strikora_players strikora_platform_sdl
                                                   strikora_test_tempdir GTest::gtest_main)
  target_compile_definitions(crash_safety_tests PRIVATE
    STRIKORA_FILE_CHURN="$<TARGET_FILE:file_churn>")
  add_dependencies(crash_safety_tests file_churn)
  gtest_discover_tests(crash_safety_tests PROPERTIES TIMEOUT 300)
endif()
