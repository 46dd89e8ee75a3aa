#!/bin/bash
# Drives zotmaker-cli's bash completion as bash does on <Tab>, in a scratch
# folder with known files.
set -u
completion=$1
. /usr/share/bash-completion/bash_completion
. "$completion"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
mkdir Gold Neon
touch names.txt shared.zip shared.tar.xz

failures=0
# expect "WORDS" "EXPECTED": the words typed so far, the last one being
# completed (may be empty); EXPECTED is the sorted list of candidates.
expect() {
    local line=$1 expected=$2
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    _zotmaker_cli zotmaker-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sed 's:/$::' | sort | xargs)
    if [[ $got != "$expected" ]]; then
        echo "FAIL: '$line' gave '$got', expected '$expected'"
        failures=$((failures + 1))
    fi
}

expect "zotmaker-cli " "batch check fonts install render"
expect "zotmaker-cli r" "render"
expect "zotmaker-cli --verbose ch" "check"
expect "zotmaker-cli check " "Gold Neon"
expect "zotmaker-cli check G" "Gold"
expect "zotmaker-cli fonts " "Gold Neon"
expect "zotmaker-cli i" "install"
expect "zotmaker-cli install " "Gold Neon shared.tar.xz shared.zip"
expect "zotmaker-cli install shared.zip --" "--help --replace --verbose"
expect "zotmaker-cli render Gold --" "--format --help --out --text --verbose"
expect "zotmaker-cli batch Gold --" "--format --help --ignore-unknown --input --jobs --name --progress --shard --skip-existing --verbose"
expect "zotmaker-cli batch Gold --input " "csv jsonl lines tsv"
expect "zotmaker-cli batch Gold --input c" "csv"
expect "zotmaker-cli batch Gold --name " ""
expect "zotmaker-cli batch --input csv --name x Gold n" "names.txt"
expect "zotmaker-cli batch Gold --sh" "--shard"
expect "zotmaker-cli batch Gold --shard " ""
expect "zotmaker-cli batch --shard 1/2 Gold n" "names.txt"
expect "zotmaker-cli check Gold --" "--help --verbose"
expect "zotmaker-cli render Gold --format " "bmp png"
expect "zotmaker-cli batch Gold --format p" "png"
expect "zotmaker-cli render Gold --out n" "names.txt"
expect "zotmaker-cli render Gold --text " ""
expect "zotmaker-cli batch Gold --jobs " ""
# An option's value is not taken for a positional argument.
expect "zotmaker-cli batch --jobs 2 Gold n" "names.txt"
expect "zotmaker-cli batch Gold names.txt " "Gold Neon"
expect "zotmaker-cli batch Gold names.txt out " ""

# Registered for the command.
complete -p zotmaker-cli | grep -q -- '-F _zotmaker_cli' || {
    echo "FAIL: not registered for zotmaker-cli"
    failures=$((failures + 1))
}
if [[ $failures -ne 0 ]]; then
    echo "$failures case(s) failed"
    exit 1
fi
echo "all cases passed"
