#pragma once

#include <QLabel>
#include <QUrl>
#include <functional>

namespace zot {

// A label showing a web address that opens it in the system's browser when
// clicked.
class TabcURLLabel : public QLabel {
    Q_OBJECT
  public:
    explicit TabcURLLabel(QWidget* parent = nullptr);

    void setUrl(const QUrl& url);
    const QUrl& url() const { return url_; }

    // How a clicked address is opened; QDesktopServices::openUrl unless
    // replaced (tests must not start a browser). Returns the previous opener.
    using Opener = std::function<bool(const QUrl&)>;
    static Opener setOpener(Opener opener);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QUrl url_;
};

} // namespace zot
