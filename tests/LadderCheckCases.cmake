# Runs LadderCheck.cmake on small made-up trees, so a check that lets
# everything through cannot pass for a working one.
#   cmake -DCHECK=<LadderCheck.cmake> -DWORK_DIR=<scratch> -P LadderCheckCases.cmake

set(failures "")

# zot_case(NAME EXPECT pass|fail [MESSAGE regex] FILES path content ...)
function(zot_case name)
    cmake_parse_arguments(C "" "EXPECT;MESSAGE" "FILES" ${ARGN})
    set(root "${WORK_DIR}/${name}")
    file(REMOVE_RECURSE "${root}")
    # Every tree holds one header that the cases may include.
    file(WRITE "${root}/logo/Design.h" "#pragma once\n")
    list(LENGTH C_FILES n)
    math(EXPR last "${n} - 1")
    foreach(i RANGE 0 ${last} 2)
        math(EXPR j "${i} + 1")
        list(GET C_FILES ${i} path)
        list(GET C_FILES ${j} content)
        file(WRITE "${root}/${path}" "${content}\n")
    endforeach()
    execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${root} -P "${CHECK}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(ok TRUE)
    if(C_EXPECT STREQUAL "pass" AND NOT rc EQUAL 0)
        set(ok FALSE)
    elseif(C_EXPECT STREQUAL "fail" AND rc EQUAL 0)
        set(ok FALSE)
    elseif(C_MESSAGE AND NOT "${out}${err}" MATCHES "${C_MESSAGE}")
        set(ok FALSE)
    endif()
    if(NOT ok)
        set(failures "${failures}\n  ${name}: expected ${C_EXPECT}, exit ${rc}:\n${out}${err}" PARENT_SCOPE)
    endif()
endfunction()

zot_case(downward_includes_pass EXPECT pass FILES
         platform/Bitmap.h "#pragma once"
         script/Reader.h "#include \"platform/Bitmap.h\""
         editor/window/Win.cpp "#include \"editor/Ed.h\"\n#include \"platform/widgets/W.h\""
         editor/Ed.h "#include \"logo/Design.h\""
         platform/widgets/W.h "#include \"platform/Bitmap.h\""
         app/Main.cpp "#include \"editor/window/Win.h\"\n#include \"Local.h\""
         app/Local.h "#pragma once"
         editor/window/Win.h "#pragma once"
         cli/main.cpp "#include \"editor/Ed.h\"")

zot_case(platform_including_script_fails EXPECT fail MESSAGE "platform/ includes script/" FILES
         script/Reader.h "#pragma once"
         platform/Paths.cpp "#include \"script/Reader.h\"")

# The widgets live inside platform/ but stand above editor/.
zot_case(platform_including_widgets_fails EXPECT fail MESSAGE "platform/ includes platform/widgets/" FILES
         platform/widgets/W.h "#pragma once"
         platform/Paths.cpp "  #  include \"platform/widgets/W.h\"")

zot_case(engine_including_window_fails EXPECT fail MESSAGE "editor/ includes editor/window/" FILES
         editor/window/Win.h "#pragma once"
         editor/Ed.cpp "#include \"editor/window/Win.h\"")

zot_case(cli_including_window_fails EXPECT fail MESSAGE "cli/ includes editor/window/" FILES
         editor/window/Win.h "#pragma once"
         cli/main.cpp "#include \"editor/window/Win.h\"")

zot_case(unknown_folder_fails EXPECT fail MESSAGE "not in any folder" FILES
         extra/Thing.cpp "#pragma once")

# A bare name is the file next to the includer; one found nowhere is an error.
zot_case(bare_name_next_to_includer_passes EXPECT pass FILES
         logo/Loader.cpp "#include \"Design.h\"")
zot_case(missing_header_fails EXPECT fail MESSAGE "not in src/" FILES
         logo/Loader.cpp "#include \"Missing.h\"")

if(failures)
    message(FATAL_ERROR "LadderCheck cases failed:${failures}")
endif()
message(STATUS "LadderCheck cases pass")
