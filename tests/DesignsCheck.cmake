# Runs the design generator into a scratch folder and fails unless it makes
# exactly the committed designs/ and docs/images/, byte for byte.
#   cmake -DGENERATOR=<make-designs> -DSOURCE_DIR=<repo> -DWORK_DIR=<scratch> -P DesignsCheck.cmake

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/designs" "${WORK_DIR}/docs/images")
execute_process(COMMAND "${GENERATOR}" "${WORK_DIR}" RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "make-designs failed (${rc}): ${err}")
endif()

set(problems "")
foreach(tree designs docs/images)
    file(GLOB_RECURSE made RELATIVE "${WORK_DIR}/${tree}" "${WORK_DIR}/${tree}/*")
    file(GLOB_RECURSE committed RELATIVE "${SOURCE_DIR}/${tree}" "${SOURCE_DIR}/${tree}/*")
    foreach(f IN LISTS committed)
        if(NOT EXISTS "${WORK_DIR}/${tree}/${f}")
            list(APPEND problems "${tree}/${f}: committed but no longer made")
        endif()
    endforeach()
    foreach(f IN LISTS made)
        if(NOT EXISTS "${SOURCE_DIR}/${tree}/${f}")
            list(APPEND problems "${tree}/${f}: made but not committed")
            continue()
        endif()
        execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                                "${WORK_DIR}/${tree}/${f}" "${SOURCE_DIR}/${tree}/${f}"
                        RESULT_VARIABLE same)
        if(NOT same EQUAL 0)
            list(APPEND problems "${tree}/${f}: differs from what make-designs makes")
        endif()
    endforeach()
endforeach()

if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "The committed designs are not what make-designs makes "
                        "(run build/bin/make-designs . and look at the pictures):\n  ${text}")
endif()
message(STATUS "designs/ and docs/images/ are what make-designs makes")
