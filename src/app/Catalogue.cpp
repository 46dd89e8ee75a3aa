#include "app/Catalogue.h"

#include <QImage>

using namespace Qt::StringLiterals;

namespace zot {

QString menuButtonName(const QString& folderName) {
    QString name = folderName;
    return name.replace(u' ', u'_');
}

QString literalButtonText(const QString& text) {
    QString literal = text;
    return literal.replace(u"&"_s, u"&&"_s);
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
