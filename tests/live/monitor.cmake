# The live table's merge rules, the monitor loop's timing and the monitor thread's hand-off.
veltrane_add_test(test_monitor
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ApplyLiveRowsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/MonitorLoopTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/MonitorThreadTest.cpp
  LIBS live)
# The live query and refresh against the private server.
veltrane_add_test(test_monitor_db
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RefreshLiveTableDbTest.cpp
  LIBS live DATABASE)
