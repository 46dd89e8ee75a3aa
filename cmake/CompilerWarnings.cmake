# Warning flags shared by every target of the project.
function(zot_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                             -Wnon-virtual-dtor -Wcast-align -Wunused
                                             -Woverloaded-virtual -Wnull-dereference)
endfunction()
