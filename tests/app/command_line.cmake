# The command line: the parser's decisions in process, and the programs as a user runs them.
veltrane_add_test(test_command_line
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CommandLineTest.cpp
  LIBS appshell)
add_test(NAME command_line_check
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/command_line_check.sh $<TARGET_FILE:veltrane> $<TARGET_FILE:tsv2xls>
          $<TARGET_FILE:collector-sim>)
