# The login dialog, the main frame and the start-up sequence (the database decides logins and
# what the first refresh loads).
veltrane_add_test(test_shell
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CLoginDlgTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/CMainFrameTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/StationStartupTest.cpp
  LIBS appshell DATABASE)
