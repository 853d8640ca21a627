# kiv_add_unit_test(NAME <name> SOURCES <files...> LIBS <targets...> [DATABASE])
#
# Builds one QtTest executable and registers it with CTest. Every test runs
# headless with its own HOME and XDG folders, so that settings stores, generic
# data locations and log folders never touch the real user's. The home is made
# afresh each time the test starts (cmake/KivRunTest.cmake), not at build
# time: a second run, or a run in another order, starts from the same state.
# Tests marked DATABASE get the connection of the private PostgreSQL server
# that scripts/pgserver.sh starts (KIV_TEST_PG* variables).
function(kiv_add_unit_test)
    cmake_parse_arguments(T "DATABASE" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt5::Test ${T_LIBS})
    target_compile_definitions(${T_NAME} PRIVATE
        KIV_TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
        KIV_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
    set(home "${CMAKE_BINARY_DIR}/testhome/${T_NAME}")
    add_test(NAME ${T_NAME}
        COMMAND ${CMAKE_COMMAND} -DKIV_HOME=${home} -DKIV_PROGRAM=$<TARGET_FILE:${T_NAME}>
                -P ${CMAKE_SOURCE_DIR}/cmake/KivRunTest.cmake)
    set(env
        "QT_QPA_PLATFORM=offscreen"
        "HOME=${home}"
        "XDG_CONFIG_HOME=${home}/.config"
        "XDG_DATA_HOME=${home}/.local/share"
        "XDG_DATA_DIRS=${home}/xdg-data-1:${home}/xdg-data-2"
        "XDG_RUNTIME_DIR=${home}/runtime"
        "ASAN_OPTIONS=detect_leaks=0")
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 900)
    if(T_DATABASE)
        set_tests_properties(${T_NAME} PROPERTIES LABELS database RESOURCE_LOCK pgserver)
    endif()
endfunction()
