#!/bin/sh
# Brings every translation source in translations/ up to date with the
# window's texts in src/ (new texts come in unfinished, gone ones leave).
# Run from the top of the source tree; then translate what is unfinished.
set -eu
lupdate=/usr/lib/qt6/bin/lupdate
for ts in translations/zotmaker_*.ts; do
    language=${ts#translations/zotmaker_}
    language=${language%.ts}
    "$lupdate" -I src -no-obsolete -locations none -source-language en \
        -target-language "$language" src/app src/editor src/widgets -ts "$ts"
done
