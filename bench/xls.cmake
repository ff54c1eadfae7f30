# Workbook writer benchmark; included from bench/CMakeLists.txt (which finds benchmark).
# The history rows come from the tests' generator, so both write the same text.
add_executable(xls_bench ${CMAKE_CURRENT_LIST_DIR}/xls_bench.cpp)
target_include_directories(xls_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/xls)
target_link_libraries(xls_bench PRIVATE xls benchmark::benchmark)
