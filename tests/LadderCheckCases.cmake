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
         platform/Files.h "#include \"text/Decode.h\""
         text/Decode.h "#pragma once"
         imaging/Bitmap.h "#include \"platform/Files.h\""
         script/Reader.h "#include \"imaging/Bitmap.h\""
         editor/Win.cpp "#include \"batch/Batch.h\"\n#include \"widgets/W.h\""
         batch/Batch.h "#include \"logo/Design.h\""
         widgets/W.h "#include \"platform/Files.h\""
         app/Main.cpp "#include \"editor/Win.h\"\n#include \"Local.h\"\n#include \"designs/Folders.h\""
         designs/Folders.h "#include \"imaging/Bitmap.h\""
         app/Local.h "#pragma once"
         editor/Win.h "#pragma once"
         cli/main.cpp "#include \"batch/Batch.h\"\n#include \"designs/Folders.h\"")

zot_case(text_including_platform_fails EXPECT fail MESSAGE "text/ includes platform/" FILES
         platform/Files.h "#pragma once"
         text/Decode.cpp "#include \"platform/Files.h\"")

zot_case(platform_including_imaging_fails EXPECT fail MESSAGE "platform/ includes imaging/" FILES
         imaging/Bitmap.h "#pragma once"
         platform/Clipboard.cpp "  #  include \"imaging/Bitmap.h\"")

zot_case(engine_including_widgets_fails EXPECT fail MESSAGE "logo/ includes widgets/" FILES
         widgets/W.h "#pragma once"
         logo/Engine.cpp "#include \"widgets/W.h\"")

zot_case(batch_including_editor_fails EXPECT fail MESSAGE "batch/ includes editor/" FILES
         editor/Win.h "#pragma once"
         batch/Batch.cpp "#include \"editor/Win.h\"")

zot_case(cli_including_widgets_fails EXPECT fail MESSAGE "cli/ includes widgets/" FILES
         widgets/W.h "#pragma once"
         cli/main.cpp "#include \"widgets/W.h\"")

# A path that climbs out of the includer's room by "..".
zot_case(relative_climb_fails EXPECT fail MESSAGE "fonts/ includes logo/" FILES
         fonts/Font.cpp "#include \"../logo/Design.h\"")

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
