#!/bin/sh
# Every hicolor size folder holds the application icon as a PNG of that size,
# and the icon is in the window icon's resource list for each size.
set -u
icons=$1
resource=$2
id=org.zotmaker.Zotmaker
status=0
for size in 16 22 24 32 48 64 128 256; do
    png=$icons/hicolor/${size}x$size/apps/$id.png
    if ! file "$png" | grep -q "PNG image data, $size x $size,"; then
        echo "FAIL: $png is not a ${size}x$size PNG: $(file -b "$png")"
        status=1
    fi
    if ! grep -q "alias=\"$size.png\">.*/hicolor/${size}x$size/apps/$id.png<" "$resource"; then
        echo "FAIL: $resource lacks the ${size}px icon"
        status=1
    fi
done
grep -q '<svg' "$icons/hicolor/scalable/apps/$id.svg" || {
    echo "FAIL: no scalable icon"
    status=1
}
exit $status
