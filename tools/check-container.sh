#!/bin/sh
# Checks the container image against the program on this machine: builds the
# image (tools/container/build-image.sh), runs the README's Kubernetes Indexed
# Job as three containers sharing one bind-mounted /work, runs the same batches
# here under the pinned fonts, and compares every file byte for byte.
#   sh tools/check-container.sh [--reuse-image] [BUILD_DIR]
# --reuse-image takes the image as it is when there is one. Needs root and a
# built BUILD_DIR (default build/). IMAGE=name picks another image name.
set -eu
cd "$(dirname "$0")/.."
source_dir=$(pwd)
reuse=no
if [ "${1:-}" = --reuse-image ]; then
    reuse=yes
    shift
fi
[ $# -le 1 ] || { echo "usage: $0 [--reuse-image] [BUILD_DIR]" >&2; exit 2; }
build=$(cd "${1:-build}" && pwd)
image=${IMAGE:-localhost/zotmaker:latest}
parts=3
pm() { sh "$source_dir/tools/container/podman.sh" "$@"; }
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }
fail() {
    echo "check-container: $*" >&2
    exit 1
}

started=$(now)
tmp=$(mktemp -d)
names=""
cleanup() {
    for name in $names; do
        pm rm -f "$name" >/dev/null 2>&1 || true
    done
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ $reuse = yes ] && pm image exists "$image"; then
    build_time="reused"
else
    echo "check-container: building $image"
    t=$(now)
    sh tools/container/build-image.sh "$build" "$image"
    build_time=$(since "$t")
fi
image_size=$(pm image inspect --format '{{.Size}}' "$image" |
    awk '{ printf "%.0f MB (%d bytes)", $1 / 1e6, $1 }')

# Two designs: one whose fonts come with it (and DejaVu Serif from the
# system), one drawn with the system's DejaVu faces only (Serif Italic is in
# fonts-dejavu-extra).
work=$tmp/work
mkdir -p "$work" "$tmp/host"
cp -R "designs/World Greetings" "$work/Greetings"
cp -R designs/Ocean "$work/Ocean"
# Fields, then the name; a few names are not ASCII.
awk 'BEGIN {
    n = split("WELCOME|HELLO|GREETINGS|BONJOUR|WILLKOMMEN|HOLA|CIAO|SALUT", en, "|")
    na = split("أهلاً وسهلاً|مرحبا|شكرا|سلام|صباح الخير", ar, "|")
    nh = split("ברוכים הבאים|שלום|תודה|בוקר טוב|להתראות", he, "|")
    nz = split("欢迎光临|你好|谢谢|再见|朋友|世界|大家|早上|晚安|新年快乐", zh, "|")
    for (i = 1; i <= 240; i++) {
        name = (i % 25 == 0) ? sprintf("grüße-%03d.bmp", i) : sprintf("card-%03d.bmp", i)
        printf "%s %d;%s;%s;%s;%s\n", en[i % n + 1], i, ar[i % na + 1], he[i % nh + 1], zh[i % nz + 1], name
    }
}' >"$work/Greetings.txt"
awk 'BEGIN {
    n = split("BLUE LAGOON|CORAL BAY|Café du Port|SEA SALT|Wellenreiter|Harbour Lights|ÉTÉ", t, "|")
    ns = split("surf & sailing school|fish and chips|boat trips daily|open till dusk|Strandkörbe zu vermieten", s, "|")
    for (i = 1; i <= 240; i++) {
        name = (i % 30 == 0) ? sprintf("été-%03d.bmp", i) : sprintf("ocean-%03d.bmp", i)
        printf "%s %d;%s;%s\n", t[i % n + 1], i, s[i % ns + 1], name
    }
}' >"$work/Ocean.txt"

# The Job of the README, once per design: part JOB_COMPLETION_INDEX + 1 in
# each container, all three at once, every one writing into /work.
t=$(now)
for design in Greetings Ocean; do
    mkdir "$work/out-$design" "$tmp/host/out-$design"
    pids=""
    index=0
    while [ $index -lt $parts ]; do
        name=zotcheck-$$-$design-$index
        names="$names $name"
        pm run --rm --name "$name" --network none \
            -e JOB_COMPLETION_INDEX=$index -v "$work:/work" "$image" sh -c \
            "zotmaker-cli batch /work/$design /work/$design.txt /work/out-$design --shard \$((JOB_COMPLETION_INDEX + 1))/$parts --skip-existing" \
            >"$tmp/$design-$index.log" 2>&1 &
        pids="$pids $!"
        index=$((index + 1))
    done
    index=0
    for pid in $pids; do
        status=0
        wait "$pid" || status=$?
        if [ $status -ne 0 ]; then
            cat "$tmp/$design-$index.log" >&2
            fail "$design part $((index + 1))/$parts ended with $status"
        fi
        index=$((index + 1))
    done
done
container_time=$(since "$t")

# The same batches here, seeing only the fonts the package depends on.
t=$(now)
fonts=$(sh tools/pinned-fonts.sh "$tmp/fontconfig")
for design in Greetings Ocean; do
    FONTCONFIG_FILE=$fonts "$build/bin/zotmaker-cli" batch "$work/$design" \
        "$work/$design.txt" "$tmp/host/out-$design" >"$tmp/host-$design.log" 2>&1 ||
        { cat "$tmp/host-$design.log" >&2; fail "the batch of $design here failed"; }
done
host_time=$(since "$t")

compared=0
differ=0
for design in Greetings Ocean; do
    (cd "$work/out-$design" && find . -type f | LC_ALL=C sort) >"$tmp/image.list"
    (cd "$tmp/host/out-$design" && find . -type f | LC_ALL=C sort) >"$tmp/host.list"
    if ! cmp -s "$tmp/image.list" "$tmp/host.list"; then
        diff "$tmp/host.list" "$tmp/image.list" | sed 's/^/  /' >&2 || true
        fail "$design: the image and this machine wrote different files (< here, > image)"
    fi
    [ -s "$tmp/host.list" ] || fail "$design: no files written"
    while IFS= read -r file; do
        compared=$((compared + 1))
        if ! cmp -s "$work/out-$design/$file" "$tmp/host/out-$design/$file"; then
            differ=$((differ + 1))
            [ $differ -gt 10 ] || echo "  differs: $design/${file#./}" >&2
        fi
    done <"$tmp/host.list"
done

echo "check-container: image $image: $image_size, build $build_time"
echo "check-container: $parts containers per design: $container_time; here: $host_time"
echo "check-container: $compared files compared, $differ differ; whole check $(since "$started")"
[ $differ -eq 0 ] || fail "$differ files differ between the image and this machine"
echo "check-container: OK"
