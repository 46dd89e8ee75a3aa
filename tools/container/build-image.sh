#!/bin/sh
# Builds the Zotmaker OCI image: Debian 12 with the package of BUILD_DIR
# installed, fonts and all, tagged IMAGE (default localhost/zotmaker:latest).
#   sh tools/container/build-image.sh [--new-base] [BUILD_DIR [IMAGE]]
# The base image is made from Debian's packages with mmdebstrap, no registry
# needed, once (localhost/zotmaker-base:latest); --new-base makes it again,
# with today's security updates. Needs root.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
new_base=no
if [ "${1:-}" = --new-base ]; then
    new_base=yes
    shift
fi
[ $# -le 2 ] || { echo "usage: $0 [--new-base] [BUILD_DIR [IMAGE]]" >&2; exit 2; }
build=$(cd "${1:-$root/build}" && pwd)
image=${2:-localhost/zotmaker:latest}
base=localhost/zotmaker-base:latest
pm() { sh "$here/podman.sh" "$@"; }

sh "$root/tools/install-deps.sh" podman runc mmdebstrap

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
trap 'exit 130' INT TERM

# The package of what BUILD_DIR holds now (a no-op build when up to date;
# a changed cmake/Package.cmake is picked up here).
cmake --build "$build" -j 2
deb=$(cd "$build" && cpack -G DEB | sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p')
[ -f "$deb" ] || { echo "$0: cpack made no .deb in $build" >&2; exit 1; }
[ "$(dpkg-deb -f "$deb" Package)" = zotmaker ] || { echo "$0: $deb is not zotmaker" >&2; exit 1; }
# Nodes run the program only: a unit or init script would be a mistake.
if dpkg-deb -c "$deb" | grep -E '/(lib/systemd|etc/init\.d|etc/cron)' >&2; then
    echo "$0: $deb ships a service; not for the image" >&2
    exit 1
fi
echo "Package: $deb (depends: $(dpkg-deb -f "$deb" Depends))"

if [ $new_base = yes ] || ! pm image exists "$base"; then
    echo "Making the base image $base with mmdebstrap"
    mmdebstrap --variant=minbase --quiet bookworm "$tmp/rootfs.tar" \
        "deb http://deb.debian.org/debian bookworm main" \
        "deb http://deb.debian.org/debian bookworm-updates main" \
        "deb http://deb.debian.org/debian-security bookworm-security main"
    pm import --change 'CMD ["/bin/bash"]' "$tmp/rootfs.tar" "$base" >/dev/null
    rm -f "$tmp/rootfs.tar"
fi

mkdir "$tmp/context"
cp "$deb" "$tmp/context/zotmaker.deb"
cp "$here/Containerfile" "$tmp/context/Containerfile"
old=$(pm image inspect --format '{{.Id}}' "$image" 2>/dev/null || true)
pm build --pull=never --build-arg "BASE=$base" \
    --label "org.opencontainers.image.version=$(dpkg-deb -f "$deb" Version)" \
    --label "org.opencontainers.image.title=zotmaker" \
    -t "$image" -f "$tmp/context/Containerfile" "$tmp/context"
# The image this one replaces, unless something else still uses it.
new=$(pm image inspect --format '{{.Id}}' "$image")
if [ -n "$old" ] && [ "$old" != "$new" ]; then
    pm rmi "$old" >/dev/null 2>&1 || true
fi
echo "Built $image"
