# The device tree: building, mouse and keyboard toggles, copying the boxes into the table.
veltrane_add_test(test_device_tree SOURCES ${CMAKE_CURRENT_LIST_DIR}/CMyTreeViewTest.cpp LIBS live)
