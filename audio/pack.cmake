# The pack reader: start-up unpacks the eight sound packs with it, and the pack tool and the
# benchmark use the same code, so it stands alone without the sound engine.
add_library(strikora_pack STATIC ${CMAKE_CURRENT_LIST_DIR}/SoundPack.cpp)
target_include_directories(strikora_pack PUBLIC ${PROJECT_SOURCE_DIR})
