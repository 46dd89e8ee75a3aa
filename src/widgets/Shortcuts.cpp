#include "widgets/Shortcuts.h"

#include <QAbstractButton>
#include <QAction>
#include <QTextDocument>
#include <QWidget>

namespace zot {

QString hintWithShortcut(const QString& hint, const QKeySequence& keys) {
    const QString text =
        hint + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) + u')';
    // Tooltips guess at rich text; a design's name must show as written.
    if (Qt::mightBeRichText(text))
        return QStringLiteral("<qt>") + text.toHtmlEscaped() + QStringLiteral("</qt>");
    return text;
}

QAction* bindShortcut(QWidget* owner, QAbstractButton* button, const QKeySequence& keys,
                      const QString& hint) {
    auto* action = new QAction(owner);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, button, &QAbstractButton::click);
    owner->addAction(action);
    button->setToolTip(hintWithShortcut(hint, keys));
    return action;
}

} // namespace zot
