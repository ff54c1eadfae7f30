veltrane_add_test(test_curve_view
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CurveRulesTest.cpp ${CMAKE_CURRENT_LIST_DIR}/CCurveViewTest.cpp
  LIBS live)
