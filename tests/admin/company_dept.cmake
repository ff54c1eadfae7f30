veltrane_add_test(test_company_dept
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CCompanyDeptDlgTest.cpp
  LIBS admin DATABASE)
