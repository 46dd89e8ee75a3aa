#include "widgets/TabcToolButton.h"

#include "widgets/CrispIcon.h"

namespace zot {

TabcToolButton::TabcToolButton(const QPixmap& enabledGlyph, const QPixmap& disabledGlyph,
                               QWidget* parent)
    : QToolButton(parent) {
    setIcon(crispIcon(enabledGlyph, disabledGlyph));
    setIconSize(enabledGlyph.size());
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

} // namespace zot
