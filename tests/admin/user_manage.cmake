veltrane_add_test(test_user_manage
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CUserManageDlgTest.cpp
  LIBS admin DATABASE)
