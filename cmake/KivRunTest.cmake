# Runs one test program in a home of its own, made afresh for this run:
#
#   cmake -DKIV_HOME=<folder> -DKIV_PROGRAM=<program> -P KivRunTest.cmake
#
# Everything the previous run left in the home (settings stores, credentials,
# logs) is removed first, so that a test sees the same start on every run and
# in any order. The runtime folder is private to its owner, as Qt expects. The
# test fails when the program does; its output goes to ctest as it comes.
if(NOT KIV_HOME OR NOT KIV_PROGRAM)
    message(FATAL_ERROR "KivRunTest.cmake needs KIV_HOME and KIV_PROGRAM")
endif()

file(REMOVE_RECURSE "${KIV_HOME}")
file(MAKE_DIRECTORY "${KIV_HOME}/runtime" "${KIV_HOME}/xdg-data-1" "${KIV_HOME}/xdg-data-2")
file(CHMOD "${KIV_HOME}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# Ended before ctest's own time limit, so that no program outlives its test.
execute_process(COMMAND "${KIV_PROGRAM}" RESULT_VARIABLE result TIMEOUT 880)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${KIV_PROGRAM}: ${result}")
endif()
