#pragma once

#include <QString>
#include <stdexcept>

namespace zot {

// A failure that ends the current action. Each action's top level catches it
// and shows errorBoxText(message()) in the one error box.
class Error : public std::runtime_error {
  public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

    static Error invalidInteger(const QString& value);
    static Error cannotOpenFile(const QString& path);
    static Error cannotCreateFile(const QString& path);
    static Error pictureTooLarge(qint64 width, qint64 height);

  private:
    QString message_;
};

// The box adds a full stop when the message's last character sorts above ".",
// unless it is another script's full stop or question mark.
QString errorBoxText(const QString& message);

} // namespace zot
