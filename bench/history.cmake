# History table and curve page: filling the table page with 100,000 prepared rows, the table
# query of ten devices over seven days against the private server (compared with the stock
# client), and the curve page drawing ten devices over one day.
add_executable(history_bench ${CMAKE_CURRENT_LIST_DIR}/history_bench.cpp)
target_link_libraries(history_bench PRIVATE history benchmark::benchmark)
target_compile_definitions(history_bench PRIVATE VELTRANE_SCHEMA_SQL="${PROJECT_SOURCE_DIR}/sql/schema.sql")
