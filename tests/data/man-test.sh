#!/bin/sh
# A manual page passes when man formats it without a single warning.
set -eu
for page in "$@"; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "$page:"
        echo "$warnings"
        exit 1
    fi
    # Every page has its name and synopsis.
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q '^SYNOPSIS' || {
        echo "$page: no SYNOPSIS"
        exit 1
    }
done
