# zot_room(NAME
#     SOURCES file...          the room's sources, relative to its folder
#     [LINKS target...]        the libraries it uses: rooms below it and Qt
#     [PRIVATE_LINKS target...])
# Builds one room of src/ as a static library. Rooms include their headers as
# "room/File.h" from the src/ root; the ladder check below runs before any
# room compiles, so an include of a room above fails the build.

set(ZOT_SRC_DIR ${CMAKE_SOURCE_DIR}/src)
file(GLOB_RECURSE ZOT_LADDER_INPUTS CONFIGURE_DEPENDS ${ZOT_SRC_DIR}/*.h ${ZOT_SRC_DIR}/*.cpp)
set(ZOT_LADDER_STAMP ${CMAKE_BINARY_DIR}/ladder.stamp)
add_custom_command(
    OUTPUT ${ZOT_LADDER_STAMP}
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${ZOT_SRC_DIR} -DSTAMP=${ZOT_LADDER_STAMP}
            -P ${CMAKE_SOURCE_DIR}/cmake/LadderCheck.cmake
    DEPENDS ${ZOT_LADDER_INPUTS} ${CMAKE_SOURCE_DIR}/cmake/LadderCheck.cmake
    COMMENT "Checking that no room of src/ includes a room above it"
    VERBATIM)
add_custom_target(zot_ladder DEPENDS ${ZOT_LADDER_STAMP})

function(zot_room name)
    cmake_parse_arguments(R "" "" "SOURCES;LINKS;PRIVATE_LINKS" ${ARGN})
    if(R_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "zot_room(${name}): unknown arguments ${R_UNPARSED_ARGUMENTS}")
    endif()
    add_library(${name} STATIC ${R_SOURCES})
    target_include_directories(${name} PUBLIC ${ZOT_SRC_DIR})
    target_link_libraries(${name} PUBLIC ${R_LINKS} PRIVATE ${R_PRIVATE_LINKS})
    add_dependencies(${name} zot_ladder)
    zot_set_warnings(${name})
endfunction()
