#pragma once

#include "logo/EditorHost.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace zot {

class LogoEngine;

// An editor without a window: label inputs are plain texts, the error list a
// list of lines. The command-line tool and the engine tests run on it.
class HeadlessEditor : public EditorHost {
public:
    HeadlessEditor() = default;

    // The engine whose RenderLogo a changed label text calls.
    void setEngine(LogoEngine* engine) { engine_ = engine; }
    // Called with every line appended to the error list, as it comes.
    void setErrorSink(std::function<void(const QString&)> sink) { errorSink_ = std::move(sink); }

    int AddLabelInput(const QString& editText, const QString& caption) override;
    QString labelText(int i) const override;
    int labelCount() const override { return int(texts_.size()); }
    void setLabelText(int i, const QString& text) override;
    void removeLabelInputs() override;
    void appendError(const QString& line) override;
    void hideErrors() override { errorsVisible_ = false; }
    void setCaption(const QString& caption) override { caption_ = caption; }
    void setViewSize(int width, int height) override;
    void cbSizeChange() override { ++zoomRefits_; }
    void setOutputControlsEnabled(bool enabled) override { outputEnabled_ = enabled; }

    const QStringList& errors() const { return errors_; }
    bool errorsVisible() const { return errorsVisible_; }
    const QString& caption() const { return caption_; }
    QString labelCaption(int i) const;
    int viewWidth() const { return viewWidth_; }
    int viewHeight() const { return viewHeight_; }
    int zoomRefits() const { return zoomRefits_; }
    bool outputEnabled() const { return outputEnabled_; }

private:
    LogoEngine* engine_ = nullptr;
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
