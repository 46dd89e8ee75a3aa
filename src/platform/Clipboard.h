#pragma once

#include <QImage>

namespace zot {

// Puts the picture on the clipboard as an image other programs can paste.
// Throws Error("Cannot open clipboard") when there is no usable clipboard.
void copyToClipboard(const QImage& image);

} // namespace zot
