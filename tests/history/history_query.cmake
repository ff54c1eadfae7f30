# History query dialog, table page and curve page.
veltrane_add_test(test_history_rules
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HistoryCellsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/HistoryStatementsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/HistoryChartTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/HistoryStatisticsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/HistoryCsvTest.cpp
  LIBS history)
veltrane_add_test(test_history_query
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CHistoryQueryDlgTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/CHistoryTableQueryTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/CHistoryCurvePageTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/HistoryScreenshots.cpp
  LIBS history DATABASE)
