#include "app/Catalogue.h"

#include "platform/BmpCodec.h"
#include "platform/DirectoryListing.h"
#include "platform/Error.h"
#include "platform/Locations.h"
#include "platform/NativeFiles.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace zot {

namespace {

// The largest BMP file worth reading: the biggest picture allowed plus headers.
constexpr qint64 kMaxThumbnailFileBytes = kMaxPictureBytes + 64 * 1024;

// A regular file of that name is there, or a dangling link, so that its
// failure to open is reported rather than hidden. A pipe or a device (an
// unpacked link to /dev/zero) is no thumbnail: reading it would never end.
bool fileEntryExists(const QString& path) {
    return nativeIsFile(path) || (nativeIsNonFolderEntry(path) && !nativeExists(path));
}

} // namespace

std::vector<DesignFolderEntry> scanDesignFolders(const QString& programFolder, int limit) {
    std::vector<DesignFolderEntry> designs;
    for (const DirectoryEntry& entry : listDirectory(programFolder)) {
        if (int(designs.size()) >= limit)
            break;
        if (!entry.isDirectory || entry.name.startsWith(u'.'))
            continue;
        // The name comes from the listing; joining it as one component keeps
        // a "\" in a folder name from being read as a separator.
        const QString folder = QDir(programFolder).filePath(entry.name);
        if (!nativeIsFile(joinPath(folder, u"script.zot"_s)))
            continue;
        DesignFolderEntry design{entry.name, {}, programFolder};
        const QString thumbnail = joinPath(folder, u"thumbnail.bmp"_s);
        if (fileEntryExists(thumbnail))
            design.thumbnailPath = thumbnail;
        designs.push_back(std::move(design));
    }
    return designs;
}

std::vector<DesignFolderEntry> scanCatalogue(const QStringList& parentFolders, int limit) {
    std::vector<DesignFolderEntry> designs;
    QSet<QString> listed;
    for (const QString& folder : parentFolders) {
        if (int(designs.size()) >= limit)
            break; // a full strip needs no further listing
        // limit entries of a folder always suffice: no more of them are
        // skipped than are listed already.
        for (DesignFolderEntry& design : scanDesignFolders(folder, limit)) {
            if (int(designs.size()) >= limit)
                return designs;
            if (listed.contains(design.name))
                continue;
            listed.insert(design.name);
            designs.push_back(std::move(design));
        }
    }
    return designs;
}

QStringList catalogueFolders(const QString& programFolder) {
    return {programFolder, userDesignsFolder()};
}

QString menuButtonName(const QString& folderName) {
    QString name = folderName;
    return name.replace(u' ', u'_');
}

QString literalButtonText(const QString& text) {
    QString literal = text;
    return literal.replace(u"&"_s, u"&&"_s);
}

QImage thumbnailGlyph(const Bitmap& thumbnail, QSize buttonSize) {
    if (thumbnail.isEmpty())
        return {};
    const QRgb seeThrough = thumbnail.transparentColor() & RGB_MASK;
    // Only the part inside the button is ever seen.
    const int width = std::min(thumbnail.width(), buttonSize.width());
    const int height = std::min(thumbnail.height(), buttonSize.height());
    const QRect shown((thumbnail.width() - width) / 2, (thumbnail.height() - height) / 2, width,
                      height);
    QImage glyph = thumbnail.toImage().copy(shown).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < glyph.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(glyph.scanLine(y));
        for (int x = 0; x < glyph.width(); ++x) {
            if ((line[x] & RGB_MASK) == seeThrough)
                line[x] = 0;
        }
    }
    return glyph;
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

QPixmap arrowGlyph(Qt::ArrowType direction, bool enabled) {
    constexpr int kWidth = 6;
    constexpr int kHeight = 19;
    constexpr int kMiddle = kHeight / 2;
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int column = 0; column < kWidth; ++column) {
        // Column 0 is the tip; each column further is two pixels taller.
        const int x = direction == Qt::LeftArrow ? column : kWidth - 1 - column;
        for (int y = kMiddle - column; y <= kMiddle + column; ++y)
            image.setPixel(x, y, enabled ? qRgb(0, 0, 0) : qRgb(160, 160, 160));
    }
    return QPixmap::fromImage(image);
}

} // namespace zot
