veltrane_add_test(test_report_export
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PdfReportTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ExcelReportTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SafeSaveTest.cpp
  LIBS history)
target_compile_definitions(test_report_export PRIVATE
  VELTRANE_READ_XLS="${CMAKE_CURRENT_LIST_DIR}/read_xls.py")
