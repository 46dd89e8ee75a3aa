#!/bin/sh
# Fails when a tracked C++ file is not formatted as .clang-format says.
# Fix one with: clang-format -i FILE
set -eu
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null 2>&1; then
    echo "check-format: clang-format is not installed (tools/install-deps.sh installs it)" >&2
    exit 1
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    files=$(git ls-files -- '*.cpp' '*.h')
else
    files=$(find src tests bench tools fuzz -name '*.cpp' -o -name '*.h' 2>/dev/null | sort)
fi
# shellcheck disable=SC2086
if clang-format --dry-run -Werror $files; then
    echo "check-format: $(echo "$files" | wc -l) files formatted"
else
    echo "check-format: the files above differ from .clang-format (clang-format -i FILE)" >&2
    exit 1
fi
