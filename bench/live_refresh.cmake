# Merging a refresh of 1024 devices into the live table, with and without the server, and the
# client library alone as the floor.
add_executable(live_refresh_bench ${CMAKE_CURRENT_LIST_DIR}/live_refresh_bench.cpp)
target_link_libraries(live_refresh_bench PRIVATE live benchmark::benchmark PkgConfig::MARIADB)
target_compile_definitions(live_refresh_bench PRIVATE
  VELTRANE_SCHEMA_SQL="${PROJECT_SOURCE_DIR}/sql/schema.sql")
