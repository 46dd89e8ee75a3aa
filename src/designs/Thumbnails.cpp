#include "designs/Thumbnails.h"

#include "imaging/BmpCodec.h"
#include "imaging/PictureLimits.h"
#include "platform/Error.h"
#include "platform/NativeFiles.h"

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace zot {

namespace {

// The largest BMP file worth reading: the biggest picture allowed plus headers.
constexpr qint64 kMaxThumbnailFileBytes = kMaxPictureBytes + 64 * 1024;

} // namespace

QImage thumbnailGlyph(const Bitmap& thumbnail, QSize buttonSize) {
    if (thumbnail.isEmpty())
        return {};
    // Only the part inside the button is ever seen.
    const int width = std::min(thumbnail.width(), buttonSize.width());
    const int height = std::min(thumbnail.height(), buttonSize.height());
    const QRect shown((thumbnail.width() - width) / 2, (thumbnail.height() - height) / 2, width,
                      height);
    return thumbnail.toImageSeeThrough(shown);
}

QImage loadThumbnailGlyph(const QString& path, QSize buttonSize) {
    QByteArray data;
    const Error invalid(u"Bitmap image is not valid"_s);
    switch (readNativeFile(path, kMaxThumbnailFileBytes, data)) {
    case NativeRead::Read:
        break;
    case NativeRead::NotAFile:
        return {}; // as if there were no thumbnail
    case NativeRead::Unreadable:
        throw Error::cannotOpenFile(path);
    case NativeRead::TooLarge:
        throw invalid;
    }
    const std::optional<Bitmap> bitmap = decodeBmp(data);
    if (!bitmap)
        throw invalid;
    return thumbnailGlyph(*bitmap, buttonSize);
}

} // namespace zot
