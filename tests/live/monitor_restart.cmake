# The station's live data across a real stop and restart of a database server of its own.
veltrane_add_test(test_monitor_restart
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MonitorRestartTest.cpp
  LIBS live DATABASE)
target_compile_definitions(test_monitor_restart PRIVATE VELTRANE_SCRIPTS_DIR="${PROJECT_SOURCE_DIR}/scripts")
