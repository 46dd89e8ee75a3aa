#pragma once

#include "logo/EngineObserver.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace zot {

// An editor without a window: it mirrors the engine's label inputs as plain
// texts and keeps the error list as lines. The command-line tool and the
// engine tests run on it.
class HeadlessEditor : public EngineObserver {
  public:
    HeadlessEditor() = default;

    // Called with every line appended to the error list, as it comes.
    void setErrorSink(std::function<void(const QString&)> sink) { errorSink_ = std::move(sink); }

    void labelInputAdded(int i, const QString& text, const QString& caption) override;
    void labelInputsRemoved() override;
    void labelTextChanged(int i, const QString& text) override;
    void errorAppended(const QString& line) override;
    void errorsHidden() override { errorsVisible_ = false; }
    void captionChanged(const QString& caption) override { caption_ = caption; }
    void viewSizeSet(int width, int height) override;
    void logoResized() override { ++zoomRefits_; }
    void outputControlsEnabled(bool enabled) override { outputEnabled_ = enabled; }

    int labelCount() const { return int(texts_.size()); }
    QString labelText(int i) const;
    QString labelCaption(int i) const;
    const QStringList& errors() const { return errors_; }
    bool errorsVisible() const { return errorsVisible_; }
    const QString& caption() const { return caption_; }
    int viewWidth() const { return viewWidth_; }
    int viewHeight() const { return viewHeight_; }
    int zoomRefits() const { return zoomRefits_; }
    bool outputEnabled() const { return outputEnabled_; }

  private:
    std::function<void(const QString&)> errorSink_;
    QStringList texts_;
    QStringList captions_;
    QStringList errors_;
    bool errorsVisible_ = false;
    QString caption_ = QStringLiteral("About");
    int viewWidth_ = 0;
    int viewHeight_ = 0;
    int zoomRefits_ = 0;
    bool outputEnabled_ = false;
};

} // namespace zot
