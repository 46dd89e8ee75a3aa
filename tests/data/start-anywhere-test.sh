#!/bin/sh
# The desktop program started from a folder that holds no about file, as a
# launcher starts it: no error box, the sample designs in the catalogue.
set -u
program=$(readlink -f "$1")
designs=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
out=$(XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen ZOTMAKER_SELFTEST=1 "$program" 2>/dev/null)
status=$?
echo "$out"
[ $status -eq 0 ] || { echo "FAIL: exit status $status"; exit 1; }
if echo "$out" | grep -q '^error-box:'; then
    echo "FAIL: an error box at start-up"
    exit 1
fi
program_dir=$(dirname "$program")
for script in "$designs"/*/script.zot; do
    design=$(basename "$(dirname "$script")")
    echo "$out" | grep -qx "design: $program_dir/$design" || {
        echo "FAIL: $design is not in the catalogue"
        exit 1
    }
done
echo "$out" | grep -qx "window-icon: set" || { echo "FAIL: no window icon"; exit 1; }
