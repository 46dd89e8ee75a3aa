#!/bin/sh
# Writes a fontconfig configuration under which TrueType text renders the
# same on every Debian 12 machine, whatever fonts it has, and prints its path:
#   FONTCONFIG_FILE=$(sh tools/pinned-fonts.sh DIR) zotmaker-cli render ...
# It keeps the system's rendering rules (/etc/fonts/fonts.conf) but sees only
# the font folders of the packages zotmaker depends on; the fonts a design
# installs still count. DIR/fonts.conf is the file, DIR/cache its own cache.
set -eu
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
mkdir -p "$1/cache"
dir=$(cd "$1" && pwd)
# Folders are judged as files are: the way down to the folder of
# fonts-dejavu-core and fonts-dejavu-extra is let through, nothing beside it.
cat >"$dir/fonts.conf.new" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <cachedir>$dir/cache</cachedir>
  <include ignore_missing="no">/etc/fonts/fonts.conf</include>
  <selectfont>
    <rejectfont><glob>*</glob></rejectfont>
    <acceptfont>
      <glob>/usr/share/fonts</glob>
      <glob>/usr/share/fonts/truetype</glob>
      <glob>/usr/share/fonts/truetype/dejavu</glob>
      <glob>/usr/share/fonts/truetype/dejavu/*</glob>
    </acceptfont>
  </selectfont>
</fontconfig>
CONF
mv "$dir/fonts.conf.new" "$dir/fonts.conf"
echo "$dir/fonts.conf"
