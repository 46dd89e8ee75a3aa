#!/bin/sh
# Installs what is missing, builds, and runs the whole test suite: once as
# built for use (then installed and packaged), once with AddressSanitizer
# (leaks included) and UndefinedBehaviorSanitizer; then builds the fuzz
# targets with clang and runs each for a short time; then checks the formatting.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600
# The program as installed and as a Debian package.
sh tools/check-install.sh build

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZOT_SANITIZE=ON \
      -DZOT_BUILD_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 900

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++-14 -DZOT_FUZZ=ON -DZOT_BUILD_TESTS=OFF \
      -DZOT_BUILD_BENCH=OFF -DZOT_BUILD_GUI=OFF
cmake --build build-fuzz -j "$jobs"
sh fuzz/run.sh build-fuzz 25

sh tools/check-format.sh
