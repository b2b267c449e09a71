# The sound engine with number and name speech and the MP3 music: everything the player hears.
add_library(strikora_audio STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Folders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Mp3Music.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NameSpeech.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberSpeech.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundEngine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundMix.cpp
)
target_include_directories(strikora_audio PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(strikora_audio PUBLIC strikora_players strikora_platform)
