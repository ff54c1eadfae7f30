veltrane_add_test(test_tile_view
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/TileRulesTest.cpp ${CMAKE_CURRENT_LIST_DIR}/CIconViewTest.cpp
  LIBS live)
