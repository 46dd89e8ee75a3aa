#!/bin/sh
# Runs a validator and passes only when it succeeds without a single error,
# warning, hint or info line; pedantic notes are let through.
out=$("$@" 2>&1)
status=$?
[ -n "$out" ] && echo "$out"
[ "$status" -eq 0 ] || exit 1
if echo "$out" | grep -Eq '^[EWI]: |: (error|warning|hint)[:(]'; then
    exit 1
fi
exit 0
