add_executable(live_views_bench ${CMAKE_CURRENT_LIST_DIR}/live_views_bench.cpp)
target_link_libraries(live_views_bench PRIVATE live benchmark::benchmark)
