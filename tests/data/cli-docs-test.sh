#!/bin/sh
# Every command and option that zotmaker-cli's own help names is described in
# its manual page and offered by the bash completion.
set -u
cli=$1
page=$2
completion=$3
help=$("$cli" --help) || { echo "FAIL: --help failed"; exit 1; }
manual=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$page" 2>/dev/null)
status=0
words=$(echo "$help" | grep -oE -- '--[a-z][a-z-]*[a-z]' | sort -u)
for command in check render batch install fonts; do
    echo "$help" | grep -q "zotmaker-cli $command" && words="$words $command"
done
[ -n "$words" ] || { echo "FAIL: nothing found in the help text"; exit 1; }
for word in $words; do
    echo "$manual" | grep -qF -- "$word" || { echo "FAIL: $word not in the manual page"; status=1; }
    grep -qF -- "$word" "$completion" || { echo "FAIL: $word not in the completion"; status=1; }
done
exit $status
