#include "widgets/TabcURLLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>

namespace zot {

namespace {

TabcURLLabel::Opener& currentOpener() {
    static TabcURLLabel::Opener opener;
    return opener;
}

} // namespace

TabcURLLabel::TabcURLLabel(QWidget* parent) : QLabel(parent) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    setPalette(pal);
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
}

void TabcURLLabel::setUrl(const QUrl& url) {
    url_ = url;
    setToolTip(url.toString());
}

TabcURLLabel::Opener TabcURLLabel::setOpener(Opener opener) {
    Opener previous = std::move(currentOpener());
    currentOpener() = std::move(opener);
    return previous;
}

void TabcURLLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()) ||
        !url_.isValid())
        return;
    if (const Opener& opener = currentOpener())
        opener(url_);
    else
        QDesktopServices::openUrl(url_);
}

} // namespace zot
