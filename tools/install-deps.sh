#!/bin/sh
# Installs the Debian 12 packages Zotmaker builds and tests with, if missing;
# or, given package names, those.
set -eu
# tools/make-designs draws from every DejaVu face and cuts the fonts of the
# World Greetings design out of Noto and WenQuanYi with fonttools. The
# window's translations are compiled with Qt's Linguist tools. The window's
# accessibility tree is read over AT-SPI (at-spi2-core's bus, pyatspi).
packages="cmake ninja-build g++ pkg-config qt6-base-dev libglib2.0-dev libgtest-dev
libbenchmark-dev fonts-dejavu-core fonts-dejavu-extra fonts-noto-core fonts-wqy-microhei fonttools
gsettings-desktop-schemas libglib2.0-bin clang-format
desktop-file-utils appstream lintian dpkg-dev file man-db bash-completion
cinnamon-desktop-data mate-desktop-common dbus-daemon
qt6-wayland weston xvfb xclip x11-utils
clang-14 libclang-rt-14-dev libarchive-dev liblzma-dev libfontconfig-dev libisal-dev
parallel rsync openssh-server openssh-client
qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
at-spi2-core python3-pyatspi"
[ $# -eq 0 ] || packages="$*"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $missing
    # The batch test starts sshd of its own on loopback; the package's
    # system-wide server is not wanted listening on this machine.
    case " $missing " in
    *" openssh-server "*)
        if command -v systemctl >/dev/null && [ -d /run/systemd/system ]; then
            systemctl disable --now ssh.service ssh.socket 2>/dev/null || true
        fi
        ;;
    esac
fi
