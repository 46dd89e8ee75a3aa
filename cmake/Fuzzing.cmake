# ZOT_FUZZ=ON builds the fuzz targets in fuzz/ with clang's libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer; everything of ours is
# instrumented for coverage.
option(ZOT_FUZZ "Build the fuzz targets (clang, libFuzzer, ASan, UBSan)" OFF)
if(ZOT_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "ZOT_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++-14")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined -g)
    add_link_options(-fsanitize=address,undefined)
endif()
