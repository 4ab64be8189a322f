# brelmont_test(NAME SOURCES... LIBS ... [ENV VAR=VALUE ...] [TIMEOUT s] [LABELS ...])
# Builds one QtTest program and registers it with CTest. Every test runs headless with
# its own registry file and XDG folders, so it never touches the real user's files.
function(brelmont_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;ENV;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE brelmont_options Qt6::Test ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set(timeout 120)
    if(ARG_TIMEOUT)
        set(timeout ${ARG_TIMEOUT})
    endif()
    set(sandbox ${CMAKE_CURRENT_BINARY_DIR}/sandbox-${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;BRELMONT_REGISTRY=${sandbox}/registry.reg;XDG_CONFIG_HOME=${sandbox}/config;XDG_DATA_HOME=${sandbox}/data;XDG_CACHE_HOME=${sandbox}/cache;XDG_RUNTIME_DIR=${sandbox}/runtime;HOME=${sandbox}/home;${ARG_ENV}"
        TIMEOUT ${timeout}
        LABELS "${ARG_LABELS}")
endfunction()
