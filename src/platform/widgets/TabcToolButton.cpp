#include "platform/widgets/TabcToolButton.h"

#include <QIcon>

namespace zot {

TabcToolButton::TabcToolButton(const QPixmap& enabledGlyph, const QPixmap& disabledGlyph,
                               QWidget* parent)
    : QToolButton(parent) {
    QIcon icon;
    icon.addPixmap(enabledGlyph, QIcon::Normal);
    icon.addPixmap(enabledGlyph, QIcon::Active);
    // Our own disabled picture rather than the style's greyed-out guess.
    icon.addPixmap(disabledGlyph, QIcon::Disabled);
    setIcon(icon);
    setIconSize(enabledGlyph.size());
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

} // namespace zot
