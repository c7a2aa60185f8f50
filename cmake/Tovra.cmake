# tovra_add_library(NAME <target> [LIBS <libs...>])
# A static library of every .cpp in the calling folder, included from the source root ("tags/tid3v1.h").
function(tovra_add_library)
    cmake_parse_arguments(ARG "" "NAME" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    if(NOT sources)
        return()
    endif()
    add_library(${ARG_NAME} STATIC ${sources})
    target_include_directories(${ARG_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${ARG_NAME} PUBLIC ${ARG_LIBS})
endfunction()

# tovra_add_tests(NAME <target> [LIBS <libs...>])
# One test program of every *_test.cpp in the calling folder, its cases registered with CTest.
function(tovra_add_tests)
    cmake_parse_arguments(ARG "NO_GLIB" "NAME" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT sources)
        return()
    endif()
    # GLib's start-up allocation is only recognisable with full malloc stacks, which cost a
    # slow unwind per allocation; programs without GLib (NO_GLIB) keep the fast one.
    if(TOVRA_SANITIZE AND NOT ARG_NO_GLIB)
        list(APPEND sources ${PROJECT_SOURCE_DIR}/tests/support/sanitizer_options.cpp)
    endif()
    add_executable(${ARG_NAME} ${sources})
    target_include_directories(${ARG_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${ARG_NAME} PRIVATE
        TOVRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TOVRA_PROGRAM_DIR="${TOVRA_PROGRAM_DIR}")
    # One variable only: gtest_discover_tests splits a list value into separate properties.
    # Anything more the suite needs is set by test.sh.
    gtest_discover_tests(${ARG_NAME}
        PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen
        DISCOVERY_TIMEOUT 60)
endfunction()
