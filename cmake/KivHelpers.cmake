# kiv_add_unit_test(NAME <name> SOURCES <files...> LIBS <targets...> [DATABASE])
#
# Builds one QtTest executable and registers it with CTest. Every test runs
# headless with its own temporary HOME and XDG folders, so that settings
# stores, generic data locations and log folders never touch the real user's.
# Tests marked DATABASE get the connection of the private PostgreSQL server
# that scripts/pgserver.sh starts (KIV_TEST_PG* variables).
function(kiv_add_unit_test)
    cmake_parse_arguments(T "DATABASE" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt5::Test ${T_LIBS})
    target_compile_definitions(${T_NAME} PRIVATE
        KIV_TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
        KIV_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set(home "${CMAKE_BINARY_DIR}/testhome/${T_NAME}")
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
    add_custom_command(TARGET ${T_NAME} PRE_BUILD
        COMMAND ${CMAKE_COMMAND} -E make_directory "${home}/runtime" "${home}/xdg-data-1" "${home}/xdg-data-2")
endfunction()
