# Runs korvenal on a fresh copy of the example and prints the table.
# Variables: KORVENAL_EXE (the built tool), EXAMPLE_DIR (the example
# directory), RUN_DIR (where to run; emptied first).
file(REMOVE_RECURSE "${RUN_DIR}")
file(MAKE_DIRECTORY "${RUN_DIR}")
file(GLOB example_files LIST_DIRECTORIES false "${EXAMPLE_DIR}/*")
list(FILTER example_files EXCLUDE REGEX "/\\.[^/]*$")  # no dotfiles
file(COPY ${example_files} DESTINATION "${RUN_DIR}")

message(STATUS "Running korvenal in ${RUN_DIR}")
execute_process(
  COMMAND "${KORVENAL_EXE}"
  WORKING_DIRECTORY "${RUN_DIR}"
  INPUT_FILE /dev/null
  OUTPUT_FILE "${RUN_DIR}/console.txt"
  ERROR_FILE "${RUN_DIR}/errors.txt"
  RESULT_VARIABLE status)

file(READ "${RUN_DIR}/console.txt" console)
string(LENGTH "${console}" console_length)
message(STATUS "Console output (${console_length} bytes): ${RUN_DIR}/console.txt")
if(NOT status EQUAL 0)
  file(READ "${RUN_DIR}/errors.txt" errors)
  message(FATAL_ERROR "korvenal ended with status ${status}:\n${errors}")
endif()
if(NOT EXISTS "${RUN_DIR}/KORVENAL.dat")
  message(FATAL_ERROR "korvenal ended with status 0 but wrote no KORVENAL.dat")
endif()
file(READ "${RUN_DIR}/KORVENAL.dat" table)
string(REPLACE "\r" "" table "${table}")
message(STATUS "Table ${RUN_DIR}/KORVENAL.dat (-dS in J/(kg K); rows: mean temperature in K, columns: field in T):")
execute_process(COMMAND ${CMAKE_COMMAND} -E echo_append "${table}")
