#include "app/AppIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zot {

namespace {

class ZotIconEngine : public QIconEngine {
  public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const qreal side = qMin(rect.width(), rect.height());
        const QRectF box(rect.x() + (rect.width() - side) / 2,
                         rect.y() + (rect.height() - side) / 2, side, side);
        const auto at = [&](qreal x, qreal y) {
            return QPointF(box.left() + x * side, box.top() + y * side);
        };
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const bool off = mode == QIcon::Disabled;
        painter->setPen(Qt::NoPen);
        painter->setBrush(off ? QColor(150, 150, 150) : QColor(0, 64, 160));
        painter->drawRoundedRect(box.adjusted(side / 32, side / 32, -side / 32, -side / 32),
                                 side / 6, side / 6);
        // The "Z" as one outline, so no font is needed.
        QPainterPath z;
        z.moveTo(at(0.22, 0.18));
        z.lineTo(at(0.78, 0.18));
        z.lineTo(at(0.78, 0.30));
        z.lineTo(at(0.42, 0.62));
        z.lineTo(at(0.78, 0.62));
        z.lineTo(at(0.78, 0.74));
        z.lineTo(at(0.22, 0.74));
        z.lineTo(at(0.22, 0.62));
        z.lineTo(at(0.58, 0.30));
        z.lineTo(at(0.22, 0.30));
        z.closeSubpath();
        painter->setBrush(Qt::white);
        painter->drawPath(z);
        painter->setBrush(off ? QColor(200, 200, 200) : QColor(255, 204, 0));
        painter->drawRect(QRectF(at(0.22, 0.80), at(0.78, 0.87)));
        painter->restore();
    }

    // QIcon asks for the device size at a scale above 1, so this draws every
    // device pixel rather than enlarging a smaller picture.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new ZotIconEngine; }
    QString key() const override { return QStringLiteral("zot-drawn"); }
};

} // namespace

QIcon applicationIcon() {
    return QIcon(new ZotIconEngine);
}

} // namespace zot
