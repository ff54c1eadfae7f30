veltrane_add_test(test_permission
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CPermissionDlgTest.cpp
  LIBS admin DATABASE)
