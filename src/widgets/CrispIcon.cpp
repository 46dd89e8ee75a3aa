#include "widgets/CrispIcon.h"

#include <QImage>

namespace zot {

QPixmap scaledCrisp(const QPixmap& picture, int scale) {
    const QImage image = picture.toImage();
    QPixmap scaled = QPixmap::fromImage(
        image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    scaled.setDevicePixelRatio(scale);
    return scaled;
}

QIcon crispIcon(const QPixmap& enabled, const QPixmap& disabled) {
    QIcon icon;
    for (int scale = 1; scale <= 3; ++scale) {
        const QPixmap on = scale == 1 ? enabled : scaledCrisp(enabled, scale);
        icon.addPixmap(on, QIcon::Normal);
        icon.addPixmap(on, QIcon::Active);
        // Our own disabled picture rather than the style's greyed-out guess.
        icon.addPixmap(scale == 1 ? disabled : scaledCrisp(disabled, scale), QIcon::Disabled);
    }
    return icon;
}

} // namespace zot
