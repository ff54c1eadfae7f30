veltrane_add_test(test_db_session
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DbSessionTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SqlFormatTest.cpp
  LIBS appcore DATABASE)
target_compile_definitions(test_db_session PRIVATE VELTRANE_SCRIPTS_DIR="${PROJECT_SOURCE_DIR}/scripts")
veltrane_add_test(test_app_config
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/AppConfigTest.cpp
  LIBS appcore)
