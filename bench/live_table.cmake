# RefreshRows over 1024 shown devices: a rebuild, an in-place update with nothing changed,
# and one where every reading changed.
add_executable(live_table_bench ${CMAKE_CURRENT_LIST_DIR}/live_table_bench.cpp)
target_include_directories(live_table_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/live)
target_link_libraries(live_table_bench PRIVATE live Qt6::Test benchmark::benchmark)
