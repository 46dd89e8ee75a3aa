#!/bin/sh
# Checks the program as installed, from a build folder that is built already:
# a staged `cmake --install`, started from a working folder without an about
# file, and the Debian package made from the same build.
#   sh tools/check-install.sh [BUILD_DIR]
set -eu
cd "$(dirname "$0")/.."
source_dir=$(pwd)
build=$(cd "${1:-build}" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() {
    echo "check-install: $*" >&2
    exit 1
}

echo "check-install: staged install"
DESTDIR=$stage/root cmake --install "$build" --prefix /usr >"$stage/install.log"
usr=$stage/root/usr
program_dir=$usr/lib/zotmaker
id=org.zotmaker.Zotmaker
for program in zotmaker zotmaker-cli; do
    [ "$(readlink "$usr/bin/$program")" = "../lib/zotmaker/$program" ] ||
        fail "bin/$program is not a relative link to lib/zotmaker/$program"
    [ -x "$program_dir/$program" ] || fail "no $program in the program folder"
done
for file in lib/zotmaker/zot-about.rtf \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/zotmaker-cli.1.gz share/man/man1/zotmaker.1.gz \
    share/bash-completion/completions/zotmaker-cli share/doc/zotmaker/copyright; do
    [ -f "$usr/$file" ] || fail "not installed: $file"
done
for size in 16 22 24 32 48 64 128 256; do
    [ -f "$usr/share/icons/hicolor/${size}x$size/apps/$id.png" ] || fail "no ${size}px icon"
done
# bash finds the completion where it looks for it, on first use.
XDG_DATA_DIRS=$usr/share bash -c '. /usr/share/bash-completion/bash_completion
    __load_completion zotmaker-cli && complete -p zotmaker-cli' >/dev/null ||
    fail "bash does not load the completion from its installed place"
# One design a line: design names may hold blanks.
designs=""
for script in designs/*/script.zot; do
    design=$(basename "$(dirname "$script")")
    designs="$designs$design
"
    cmp -s "$script" "$program_dir/$design/script.zot" || fail "design $design not installed"
done

# Started the way a menu starts it: from a folder that holds no about file.
work=$stage/work
mkdir -p "$work"
export XDG_DATA_HOME="$stage/data"
mkdir -p "$XDG_DATA_HOME/zotmaker/designs/Mine"
printf 'name=Mine\n' >"$XDG_DATA_HOME/zotmaker/designs/Mine/script.zot"
cd "$work"
"$usr/bin/zotmaker-cli" check "$program_dir/Gold" || fail "zotmaker-cli check reported a problem"
"$usr/bin/zotmaker-cli" render "$program_dir/Gold" --text TEST --out logo.bmp ||
    fail "zotmaker-cli render failed"
[ "$(head -c 2 logo.bmp)" = BM ] || fail "render wrote no BMP file"
out=$(QT_QPA_PLATFORM=offscreen ZOTMAKER_SELFTEST=1 "$usr/bin/zotmaker" 2>/dev/null) ||
    fail "zotmaker did not start"
if echo "$out" | grep '^error-box:'; then
    fail "zotmaker showed an error box at start-up"
fi
printf '%s' "$designs" | while IFS= read -r design; do
    echo "$out" | grep -qx "design: $program_dir/$design" || fail "design $design not in the catalogue"
done
echo "$out" | grep -qx "design: $XDG_DATA_HOME/zotmaker/designs/Mine" ||
    fail "the user's own design is not in the catalogue"
echo "$out" | grep -qx "window-icon: set" || fail "the windows have no icon"
# The installed translations are found from the program's own folder.
out=$(LANGUAGE=de LANG=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen ZOTMAKER_SELFTEST=1 \
    "$usr/bin/zotmaker" 2>/dev/null) || fail "zotmaker did not start in German"
echo "$out" | grep -qx "batch-button: Stapelverarbeitung" ||
    fail "the installed window is not German under LANGUAGE=de"
cd "$source_dir"

echo "check-install: Debian package"
rm -f "$build"/zotmaker_*.deb
(cd "$build" && cpack -G DEB >"$stage/cpack.log") || {
    cat "$stage/cpack.log"
    fail "cpack failed"
}
deb=$(ls "$build"/zotmaker_*.deb)
dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' >"$stage/files"
for entry in "./usr/bin/zotmaker -> ../lib/zotmaker/zotmaker" \
    "./usr/bin/zotmaker-cli -> ../lib/zotmaker/zotmaker-cli" \
    ./usr/lib/zotmaker/zotmaker ./usr/lib/zotmaker/zotmaker-cli ./usr/lib/zotmaker/zot-about.rtf \
    ./usr/lib/zotmaker/Gold/script.zot \
    "./usr/lib/zotmaker/Gold/DejaVuSerif-Bold.ttf -> ../../../share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf" \
    ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/$id.svg ./usr/share/icons/hicolor/48x48/apps/$id.png \
    ./usr/share/man/man1/zotmaker-cli.1.gz ./usr/share/bash-completion/completions/zotmaker-cli \
    ./usr/share/doc/zotmaker/copyright ./usr/share/doc/zotmaker/changelog.gz \
    ./usr/lib/zotmaker/translations/zotmaker_de.qm ./usr/lib/zotmaker/translations/zotmaker_ar.qm \
    ./usr/lib/zotmaker/translations/zotmaker_pt_BR.qm ./usr/lib/zotmaker/translations/zotmaker_zh_CN.qm; do
    grep -qxF "$entry" "$stage/files" || fail "not in the package: $entry"
done
if grep -v '^\./usr/' "$stage/files" | grep -v '^\./$'; then
    fail "the package puts files outside /usr"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libglib2.0-0 libarchive13 liblzma5 \
    fonts-dejavu-core fonts-dejavu-extra; do
    echo "$depends" | tr ',' '\n' | grep -q "^ *$package\( \|$\)" ||
        fail "Depends lacks $package: $depends"
done
dpkg-deb -f "$deb" Recommends | grep -q 'qt6-wayland' || fail "does not recommend qt6-wayland"
dpkg-deb -f "$deb" Recommends | grep -q 'fonts-noto-cjk' || fail "does not recommend a CJK font"
if dpkg-deb -f "$deb" Depends | grep -q 'fonts-noto-cjk'; then
    fail "a CJK font is a recommendation, not a dependency"
fi
# Installing the program must not bring a server listening on the network:
# batches over ssh use the machines' own ssh.
for field in Depends Recommends Suggests; do
    dpkg-deb -f "$deb" "$field" | grep -q 'openssh-server' && fail "$field names openssh-server"
done
[ "$(dpkg-deb -f "$deb" Section)" = graphics ] || fail "wrong section"
lintian --fail-on error,warning "$deb" || fail "lintian found problems"
echo "check-install: all passed"
