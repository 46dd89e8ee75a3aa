#!/bin/sh
# Runs every fuzz target on its seed corpus for a fixed time.
#   sh fuzz/run.sh BUILD_DIR [SECONDS] [TARGET...]
# A crash, a sanitizer report, a leak, an input slower than one second or one
# needing more than the memory limit fails the run. New inputs the fuzzer finds
# go to a scratch folder, never into the tree's corpus; set ZOT_FUZZ_WORK to a
# folder to keep them (and the logs) for a longer campaign, and ZOT_FUZZ_ARGS
# to more libFuzzer options.
set -eu
build=$1
seconds=${2:-25}
shift $(( $# >= 2 ? 2 : $# ))
here=$(cd "$(dirname "$0")" && pwd)
targets=${*:-"fuzz_bmp fuzz_picture fuzz_design fuzz_batch fuzz_richtext fuzz_install fuzz_data"}
if [ -n "${ZOT_FUZZ_WORK:-}" ]; then
    scratch=$ZOT_FUZZ_WORK
    mkdir -p "$scratch"
else
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/zot-fuzz-run.XXXXXX")
    trap 'rm -rf "$scratch"' EXIT INT TERM
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=1"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
for t in $targets; do
    mkdir -p "$scratch/$t"
    echo "== $t: ${seconds} s"
    if ! "$build/bin/$t" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2560 \
            -dict="$here/$t.dict" -artifact_prefix="$scratch/$t-" -print_final_stats=1 \
            ${ZOT_FUZZ_ARGS:-} \
            "$scratch/$t" "$here/corpus/$t" >"$scratch/$t.log" 2>&1; then
        echo "FAILED: $t"
        tail -n 60 "$scratch/$t.log"
        for a in "$scratch/$t-"*; do
            [ -f "$a" ] && echo "input: $a" && od -c "$a" | head -n 20
        done
        status=1
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)|#[0-9]+[[:space:]]+DONE' \
        "$scratch/$t.log" || true
done
exit $status
