# Fails when a folder of src/ includes a folder above it on the ladder.
#   cmake -DSOURCE_DIR=<repo>/src -P tests/LadderCheck.cmake
#
# Lowest first: platform, designs, script, fonts, logo, editor, platform/widgets,
# editor/window, app; cli stands beside the window, above editor. Each folder
# may include itself and the folders listed for it, nothing else.

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "LadderCheck: pass -DSOURCE_DIR=<the src folder>")
endif()

set(ZOT_LADDER_FOLDERS platform designs script fonts logo editor platform/widgets editor/window app cli)

set(ZOT_ALLOWED_platform "")
set(ZOT_ALLOWED_designs platform)
set(ZOT_ALLOWED_script platform)
set(ZOT_ALLOWED_fonts platform script)
set(ZOT_ALLOWED_logo platform script fonts)
set(ZOT_ALLOWED_editor platform script fonts logo)
set(ZOT_ALLOWED_platform/widgets platform designs script fonts logo editor)
set(ZOT_ALLOWED_editor/window platform designs script fonts logo editor platform/widgets)
set(ZOT_ALLOWED_app platform designs script fonts logo editor platform/widgets editor/window)
set(ZOT_ALLOWED_cli platform designs script fonts logo editor)

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
    message(FATAL_ERROR "The folders of src/ break the ladder:\n  ${text}")
endif()
message(STATUS "Ladder holds: ${checked} includes checked")
