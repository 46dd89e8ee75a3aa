#!/bin/sh
# Installs what is missing, builds, and runs the whole test suite: once as
# built for use, once with AddressSanitizer and UndefinedBehaviorSanitizer;
# then builds the fuzz targets with clang and runs each for a short time.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZOT_SANITIZE=ON \
      -DZOT_BUILD_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 900

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++-14 -DZOT_FUZZ=ON -DZOT_BUILD_TESTS=OFF \
      -DZOT_BUILD_BENCH=OFF -DZOT_BUILD_GUI=OFF
cmake --build build-fuzz -j "$jobs"
sh fuzz/run.sh build-fuzz 25
