#pragma once

namespace zot {

class Bitmap;

// Puts the picture on the clipboard as an image other programs can paste.
// Throws Error("Cannot open clipboard") when there is no usable clipboard.
void copyToClipboard(const Bitmap& bitmap);

} // namespace zot
