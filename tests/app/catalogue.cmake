veltrane_add_test(test_catalogue
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CatalogueTest.cpp
  LIBS appcore DATABASE)
