# Not a test: renders the tile states and a curve with gaps into PNGs for a visual check.
add_executable(live_views_snapshot ${CMAKE_CURRENT_LIST_DIR}/ViewsSnapshot.cpp)
target_link_libraries(live_views_snapshot PRIVATE live)
