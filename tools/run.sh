#!/bin/sh
# Installs what is missing, builds, and starts Zotmaker with its sample designs.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOT_BUILD_TESTS=OFF -DZOT_BUILD_BENCH=OFF
cmake --build build
exec build/bin/zotmaker
