# zot_add_test_program(NAME
#     [GLOB pattern...]        test sources found relative to tests/ (re-globbed on build)
#     [SOURCES file...]        further sources, relative to tests/
#     [LIBRARIES target...]    what the program links (GTest::gtest_main if it has no main)
#     [DEFINITIONS def...]     compile definitions
#     [DEPENDS target...]      targets to build first, e.g. a program the tests run
#     [PROPERTIES prop value...] further test properties, e.g. TIMEOUT 60)
# Builds one GoogleTest program and registers its tests with CTest, under the
# offscreen Qt platform so no test needs a display. Nothing is added when the
# globs and sources are all empty.
include(GoogleTest)

# Tests draw text as a machine with only the fonts the package depends on
# does, whatever else this one has: pictures they compare with committed ones
# are then the same everywhere. The configuration and its cache live in the
# build folder.
execute_process(COMMAND sh ${CMAKE_SOURCE_DIR}/tools/pinned-fonts.sh
                        ${CMAKE_BINARY_DIR}/pinned-fonts
                OUTPUT_VARIABLE ZOT_PINNED_FONTCONFIG
                OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
set(ZOT_TEST_FONTS FONTCONFIG_FILE=set:${ZOT_PINNED_FONTCONFIG})

function(zot_add_test_program name)
    cmake_parse_arguments(T "" "" "GLOB;SOURCES;LIBRARIES;DEFINITIONS;DEPENDS;PROPERTIES" ${ARGN})
    if(T_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "zot_add_test_program(${name}): unknown arguments ${T_UNPARSED_ARGUMENTS}")
    endif()
    set(sources "")
    if(T_GLOB)
        file(GLOB sources CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${T_GLOB})
    endif()
    if(NOT sources AND NOT T_SOURCES)
        return()
    endif()
    zot_add_test_helper(${name} SOURCES ${sources} ${T_SOURCES} LIBRARIES ${T_LIBRARIES}
                        DEFINITIONS ${T_DEFINITIONS} DEPENDS ${T_DEPENDS})
    gtest_discover_tests(${name}
                         PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen
                                    ENVIRONMENT_MODIFICATION ${ZOT_TEST_FONTS} ${T_PROPERTIES}
                         DISCOVERY_TIMEOUT 60)
endfunction()

# zot_add_test_helper(NAME SOURCES file... [LIBRARIES ...] [DEFINITIONS ...] [DEPENDS ...])
# A program that tests run (a stand-in service, a driver), built as test
# programs are but registering no tests of its own.
function(zot_add_test_helper name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBRARIES;DEFINITIONS;DEPENDS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${T_LIBRARIES})
    if(T_DEFINITIONS)
        target_compile_definitions(${name} PRIVATE ${T_DEFINITIONS})
    endif()
    if(T_DEPENDS)
        add_dependencies(${name} ${T_DEPENDS})
    endif()
    zot_set_warnings(${name})
endfunction()
