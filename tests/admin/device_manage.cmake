veltrane_add_test(test_device_manage
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CDeviceManageDlgTest.cpp
  LIBS admin DATABASE)
