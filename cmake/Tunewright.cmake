# Helpers shared by every folder's CMakeLists.txt.

# tw_library(<name> [LIBS ...]): a static library from every .cpp in the calling folder.
function(tw_library name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
    if(NOT sources)
        # A folder that has only headers so far: nothing to compile, but it can be linked already.
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE ${ARG_LIBS})
        return()
    endif()
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# tw_test(<name> [LIBS ...] [SOURCES ...]): one GoogleTest executable from every *.cpp in the calling
# folder (or the given sources), registered with CTest as one test. OWN_MAIN: the sources bring main().
function(tw_test name)
    cmake_parse_arguments(ARG "OWN_MAIN" "" "LIBS;SOURCES" ${ARGN})
    if(ARG_SOURCES)
        set(sources ${ARG_SOURCES})
    else()
        file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} tw_test_support GTest::gtest GTest::gmock)
    if(NOT ARG_OWN_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TW_FIXTURE_DIR=${CMAKE_BINARY_DIR}/fixtures;TW_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
        TIMEOUT 900)
endfunction()
include(${CMAKE_CURRENT_LIST_DIR}/Resources.cmake)
