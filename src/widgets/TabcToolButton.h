#pragma once

#include <QPixmap>
#include <QToolButton>

namespace zot {

// A flat toolbar button that shows one glyph while enabled and another while
// disabled, with a hint; it never takes the keyboard focus.
class TabcToolButton : public QToolButton {
    Q_OBJECT
  public:
    TabcToolButton(const QPixmap& enabledGlyph, const QPixmap& disabledGlyph,
                   QWidget* parent = nullptr);
};

} // namespace zot
