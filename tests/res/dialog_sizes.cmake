# Every dialog template built with the real fonts must fit a small laptop screen.
veltrane_add_test(test_dialog_sizes
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DialogSizeTest.cpp
  LIBS res)
