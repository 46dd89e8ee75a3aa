// The rich text reader that shows the about file, on any bytes.
#include "FuzzSupport.h"

#include "text/RichTextReader.h"

#include <QTextDocument>

using namespace zot;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 256 * 1024)
        return 0;
    QTextDocument document;
    loadRichText(document, fuzz::bytesOf(data, size));
    (void)document.toPlainText();
    return 0;
}
