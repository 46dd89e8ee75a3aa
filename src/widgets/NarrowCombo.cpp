#include "widgets/NarrowCombo.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

namespace zot {

namespace {

constexpr int kArrowWidth = 11;
constexpr int kFrame = 2;
// QLineEdit keeps this much room on either side of its text, and one pixel
// for the cursor.
constexpr int kLineEditTextMargin = 2;

// The application's style with a slimmer arrow and frame for combo boxes.
class NarrowComboStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        if (control != CC_ComboBox)
            return QProxyStyle::subControlRect(control, option, sub, widget);
        const QRect r = option->rect;
        switch (sub) {
        case SC_ComboBoxArrow:
            return visualRect(
                option->direction, r,
                QRect(r.right() - kArrowWidth, r.top() + 1, kArrowWidth, r.height() - 2));
        case SC_ComboBoxEditField:
            return visualRect(option->direction, r,
                              QRect(r.left() + kFrame, r.top() + kFrame,
                                    r.width() - kArrowWidth - kFrame - 1, r.height() - 2 * kFrame));
        case SC_ComboBoxFrame:
            return r;
        default:
            return QProxyStyle::subControlRect(control, option, sub, widget);
        }
    }
};

// base made smaller, half a point at a time and only as far as needed, until
// text fits in room pixels, or as small as the smallest size allows.
QFont fontThatFits(const QFont& base, const QString& text, int room) {
    QFont font = base;
    double size = base.pointSizeF();
    while (size > kNarrowComboMinPointSize && QFontMetrics(font).horizontalAdvance(text) > room) {
        size -= 0.5;
        font.setPointSizeF(size);
    }
    return font;
}

// Refits the edit's font whenever its text or size changes.
class FontFitter : public QObject {
  public:
    FontFitter(QComboBox* combo) : QObject(combo), combo_(combo), base_(combo->font()) {
        QObject::connect(combo, &QComboBox::editTextChanged, this, [this] { fit(); });
        combo->lineEdit()->installEventFilter(this);
        fit();
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            fit();
        return false;
    }

  private:
    void fit() {
        QLineEdit* edit = combo_->lineEdit();
        const QFont font = fontThatFits(base_, edit->text(),
                                        edit->contentsRect().width() - 2 * kLineEditTextMargin - 1);
        if (edit->font() != font) {
            edit->setFont(font);
            edit->setCursorPosition(edit->cursorPosition()); // scroll back into view
        }
    }

    QComboBox* combo_;
    QFont base_;
};

// Shrinks a push button's font, only as far as needed, so that its caption
// fits the button's fixed width: a translated caption or a large desktop
// font would otherwise be cut off.
class ButtonFontFitter : public QObject {
  public:
    explicit ButtonFontFitter(QPushButton* button)
        : QObject(button), button_(button), base_(button->font()) {
        button->installEventFilter(this);
        fit();
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            fit();
        return false;
    }

  private:
    void fit() {
        // The caption is drawn centred in the contents; the style's margins
        // are only the room it would like.
        QStyleOptionButton option;
        option.initFrom(button_);
        const int room = button_->style()
                             ->subElementRect(QStyle::SE_PushButtonContents, &option, button_)
                             .width();
        const QFont font = fontThatFits(base_, button_->text(), room);
        if (button_->font() != font)
            button_->setFont(font);
    }

    QPushButton* button_;
    QFont base_;
};

} // namespace

void fitNarrowButton(QPushButton* button) {
    new ButtonFontFitter(button);
}

void fitNarrowCombo(QComboBox* combo) {
    auto* style = new NarrowComboStyle;
    style->setParent(combo);
    combo->setStyle(style);
    combo->lineEdit()->setTextMargins(0, 0, 0, 0);
    new FontFitter(combo);
}

} // namespace zot
