# The history exports: a PDF report of 10,000 rows and an .xls workbook of 65,535 rows, both
# from the table page's model.
add_executable(report_export_bench ${CMAKE_CURRENT_LIST_DIR}/report_export_bench.cpp)
target_link_libraries(report_export_bench PRIVATE history benchmark::benchmark)
