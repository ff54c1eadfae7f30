veltrane_add_test(test_headless_export
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HeadlessExportTest.cpp
  LIBS appcore DATABASE)
add_dependencies(test_headless_export veltrane)
target_compile_definitions(test_headless_export PRIVATE
  VELTRANE_EXECUTABLE="$<TARGET_FILE:veltrane>"
  VELTRANE_READ_XLS="${PROJECT_SOURCE_DIR}/tests/history/read_xls.py")
