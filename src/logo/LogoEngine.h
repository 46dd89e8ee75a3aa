#pragma once

#include "fonts/FontSection.h"
#include "logo/Design.h"
#include "logo/EngineObserver.h"
#include "platform/Bitmap.h"
#include "platform/Paths.h"
#include "script/ScriptReader.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace zot {

// Loads designs and renders their logos. Widget-free: it owns the open
// design, its label inputs and their texts, and tells its observer what
// changed; the editor window and the command-line tool drive it and mirror
// what they show. Operations that fail throw zot::Error; callers show it in
// the error box.
class LogoEngine : private FontSectionEditor {
  public:
    LogoEngine(EngineObserver& observer, QString programFolder);
    ~LogoEngine();
    LogoEngine(const LogoEngine&) = delete;
    LogoEngine& operator=(const LogoEngine&) = delete;

    // Resets, reads the design folder's script.zot, parses it (which renders
    // when the script passes its end check) and refits the zoom.
    void OpenDesign(const QString& folderName);
    // Drops the open design: label inputs, temporary fonts, counters.
    void ResetDesign();
    // Parses reScript (consuming it). Called by OpenDesign.
    void ParseScript();

    // Label inputs, numbered from 1.
    int LabelCount() const override { return int(labels_.size()); }
    // Current text of input i; empty for a number without an input.
    QString labelText(int i) const;
    QString labelCaption(int i) const;
    // Sets input i's text as if typed: a different text renders the logo
    // once, the same text does nothing. Returns whether it rendered. A failed
    // rendering throws; the input keeps its new text.
    bool setLabelText(int i, const QString& text);
    // A batch line's fields: field k goes to input k + 1, in order, exactly
    // as setting them one by one would.
    void setLabelTexts(const QStringList& fields);

    // Rebuilds the logo from the background, pieces and texts.
    void RenderLogo();
    qint32 MeasureLogoWidth();
    void ComposeBackground();

    // The logo bitmap (imgEdit's picture) as the last rendering left it.
    const Bitmap& logo() const { return logo_; }
    Design& design() { return design_; }
    const Design& design() const { return design_; }

    const QString& programFolder() const { return programFolder_; }
    // The design folder's full path, ending in a separator.
    QString designFolderPath() const override;
    // A file named by a script value, found in the design folder.
    QString designFile(const QString& value) const;
    // The current text a font draws: that of its label input, empty without one.
    QString fontText(qint32 labelIndex) const { return labelText(labelIndex); }

    // Appends one line to the error list, which then shows itself.
    void appendError(const QString& line) override;

    // The script lines while a design is parsed.
    ScriptLines reScript;

    // Renders done since construction; tests count keystroke renders with it.
    int renderCount() const { return renderCount_; }

  private:
    struct LabelInput {
        QString text;
        QString caption;
    };

    // What the font sections see of the engine.
    qint32& LineNumber() override { return design_.LineNumber; }
    int AddLabelInput(const QString& editText, const QString& caption) override;
    std::vector<std::unique_ptr<TImgFont>>& ImgFonts() override { return design_.ImgFonts; }
    std::vector<std::unique_ptr<TTtfFont>>& TtfFonts() override { return design_.TtfFonts; }

    EngineObserver& observer_;
    QString programFolder_;
    Design design_;
    std::vector<LabelInput> labels_; // input i at index i - 1
    Bitmap logo_;
    // Folder listings for the case-insensitive lookups of the open design.
    mutable PathResolver resolver_;
    int renderCount_ = 0;
};

} // namespace zot
