# Fails when a room of src/ includes a room above it on the ladder.
#   cmake -DSOURCE_DIR=<repo>/src [-DSTAMP=<file>] -P cmake/LadderCheck.cmake
# The build runs it before any library (see cmake/ZotRooms.cmake), so a
# climbing include fails the build, header-only ones included.
#
# Lowest first: text, platform, imaging, script, fonts, logo, batch, designs,
# widgets, editor, app; cli stands beside widgets, above designs. Each room
# may include itself and the rooms below it, nothing else.

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "LadderCheck: pass -DSOURCE_DIR=<the src folder>")
endif()

set(ZOT_LADDER_FOLDERS text platform imaging script fonts logo batch designs widgets editor app)
set(below "")
foreach(folder IN LISTS ZOT_LADDER_FOLDERS)
    set(ZOT_ALLOWED_${folder} ${below})
    list(APPEND below ${folder})
endforeach()
# The command-line tool drives the engine, never a widget.
list(APPEND ZOT_LADDER_FOLDERS cli)
set(ZOT_ALLOWED_cli text platform imaging script fonts logo batch designs)

# The ladder folder a path inside src/ belongs to: the deepest one that holds it.
function(zot_folder_of rel out)
    set(best "")
    foreach(folder IN LISTS ZOT_LADDER_FOLDERS)
        string(LENGTH "${folder}" len)
        string(LENGTH "${best}" bestLen)
        if(rel MATCHES "^${folder}/" AND len GREATER bestLen)
            set(best "${folder}")
        endif()
    endforeach()
    set(${out} "${best}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
list(SORT sources)

set(violations "")
set(checked 0)
foreach(rel IN LISTS sources)
    zot_folder_of("${rel}" from)
    if(from STREQUAL "")
        list(APPEND violations "${rel}: not in any folder of the ladder")
        continue()
    endif()
    get_filename_component(relDir "${rel}" DIRECTORY)
    file(STRINGS "${SOURCE_DIR}/${rel}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" target "${line}")
        # A bare name is a file next to the includer.
        if(EXISTS "${SOURCE_DIR}/${target}")
            set(targetRel "${target}")
        elseif(EXISTS "${SOURCE_DIR}/${relDir}/${target}")
            set(targetRel "${relDir}/${target}")
        else()
            set(targetRel "")
        endif()
        # "a/../b" is b: a ".." must not pass for the includer's own room.
        if(targetRel)
            cmake_path(NORMAL_PATH targetRel)
        endif()
        if(NOT targetRel OR targetRel MATCHES "^\\.\\./")
            list(APPEND violations "${rel}: includes \"${target}\", which is not in src/")
            continue()
        endif()
        math(EXPR checked "${checked} + 1")
        zot_folder_of("${targetRel}" to)
        if(to STREQUAL from)
            continue()
        endif()
        list(FIND ZOT_ALLOWED_${from} "${to}" allowed)
        if(allowed GREATER -1)
            continue()
        endif()
        list(APPEND violations "${rel}: ${from}/ includes ${to}/ (\"${target}\"), which stands above it")
    endforeach()
endforeach()

if(checked EQUAL 0)
    list(APPEND violations "no include of the project's own headers found under ${SOURCE_DIR}")
endif()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "The rooms of src/ break the ladder:\n  ${text}")
endif()
message(STATUS "Ladder holds: ${checked} includes checked")
if(STAMP)
    file(TOUCH "${STAMP}")
endif()
