#pragma once

#include <QRect>
#include <QStyle>
#include <QWidget>

namespace zot {

// Children placed by hand are not mirrored by Qt: each rectangle is given
// left to right and mirrored in its parent for right-to-left languages.
inline void placeVisually(QWidget* widget, const QRect& leftToRight) {
    widget->setGeometry(
        QStyle::visualRect(widget->layoutDirection(), widget->parentWidget()->rect(), leftToRight));
}

} // namespace zot
