# One compile configuration that every target of the project links.
add_library(brelmont_options INTERFACE)
target_compile_features(brelmont_options INTERFACE cxx_std_20)
target_compile_options(brelmont_options INTERFACE
    -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wold-style-cast
    $<$<BOOL:${BRELMONT_WERROR}>:-Werror>)
target_compile_definitions(brelmont_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    BRELMONT_VERSION="${PROJECT_VERSION}")
target_include_directories(brelmont_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
if(BRELMONT_SANITIZE)
    target_compile_options(brelmont_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(brelmont_options INTERFACE -fsanitize=address,undefined)
endif()
if(BRELMONT_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "BRELMONT_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    # Every library gets the coverage hooks libFuzzer steers by; only the fuzz targets link its main.
    target_compile_options(brelmont_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(brelmont_options INTERFACE -fsanitize=address,undefined)
endif()

# brelmont_library(NAME SOURCES... LIBS ... [PRIVATE_LIBS ...]): one static library of the
# project. LIBS are what its headers expose; PRIVATE_LIBS only its sources use, so a program
# linking the library does not load them through its headers' users.
function(brelmont_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC brelmont_options ${ARG_LIBS})
    if(ARG_PRIVATE_LIBS)
        target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_LIBS})
    endif()
endfunction()
