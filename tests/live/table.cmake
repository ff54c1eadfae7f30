# The live table: its cell rules, the coloured list control and the view itself.
veltrane_add_test(test_live_table_rules PLAIN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LiveTableRulesTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ListCtrlRulesTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/AlarmSummaryTest.cpp
  LIBS live)
veltrane_add_test(test_live_table_view
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CListCtrlClTest.cpp ${CMAKE_CURRENT_LIST_DIR}/CVeltraneViewTest.cpp
  LIBS live)

# Not a test: renders the tree and the table with demo records into a PNG for a visual check.
add_executable(live_table_snapshot ${CMAKE_CURRENT_LIST_DIR}/TableSnapshot.cpp)
target_link_libraries(live_table_snapshot PRIVATE live)
