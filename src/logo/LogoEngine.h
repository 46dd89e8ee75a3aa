#pragma once

#include "fonts/FontSection.h"
#include "imaging/Bitmap.h"
#include "logo/Design.h"
#include "logo/DrawnTexts.h"
#include "logo/EngineObserver.h"
#include "platform/Paths.h"
#include "script/ScriptReader.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <utility>
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
    ~LogoEngine() override;
    LogoEngine(const LogoEngine&) = delete;
    LogoEngine& operator=(const LogoEngine&) = delete;

    // Resets, reads the design folder's script.zot, parses it (which renders
    // when the script passes its end check) and refits the zoom.
    // parentFolder holds the design folder; empty means the program folder.
    void OpenDesign(const QString& folderName, const QString& parentFolder = {});
    // Opens the open design again, as OpenDesign does, from its files as
    // they are now. Input i keeps the text the user gave it; an input still
    // showing its old default text shows the new default.
    void ReopenDesign();
    // Drops the open design: label inputs, temporary fonts, counters.
    void ResetDesign();
    // Whether a design was opened (even if its opening failed part way) and
    // not reset since.
    bool hasDesign() const { return hasDesign_; }
    // The files and character folders the last opening read or tried to
    // read (a missing picture too): what a change of would change the design.
    const QStringList& filesRead() const { return filesRead_; }
    // Parses reScript (consuming it). Called by OpenDesign.
    void ParseScript();

    // Label inputs, numbered from 1.
    int LabelCount() const override { return int(labels_.size()); }
    // Current text of input i; empty for a number without an input.
    QString labelText(int i) const;
    QString labelCaption(int i) const;
    // The default text the script gave input i.
    QString labelDefault(int i) const;
    // Sets input i's text as if typed: a different text renders the logo
    // once, the same text does nothing. Returns whether it rendered. A failed
    // rendering throws; the input keeps its new text.
    bool setLabelText(int i, const QString& text);
    // A batch line's fields: field k goes to input k + 1. Leaves the logo,
    // the inputs and the fonts exactly as setting the fields one by one
    // would, but renders only once: the renderings in between are not drawn,
    // only what they leave behind (fill alignment's CharSpace) is kept. Where
    // one of them would fail, the fields are set one by one after all, so the
    // failure comes where it always did.
    void setLabelTexts(const QStringList& fields);

    // Everything a rendering depends on beyond the design itself: every
    // input's text and every image font's CharSpace as the rendering finds it.
    struct RenderState {
        QStringList texts;
        std::vector<qint32> charSpaces;
    };
    RenderState renderState() const;
    // Takes the state's texts (without telling the observer) and CharSpaces,
    // then renders once. Another engine with the same design open gives the
    // same logo for the same state.
    void renderFrom(const RenderState& state);
    // Goes back to a line planned earlier (a batch's planning runs ahead of
    // its files): takes the state's texts, telling the observer of each that
    // differs, and renders from it, as renderFrom does.
    void rewindTo(const RenderState& start);
    // The same for a logo that was kept rather than rendered from a state:
    // after holds the texts and the fonts as that logo left them.
    void rewindTo(const RenderState& after, const Bitmap& logo, const QImage& alphaLogo = {});
    // What setLabelTexts(fields) would do, without drawing: the engine takes
    // the fields and the fonts what the renderings would leave them, and the
    // plan holds the state the last rendering starts from (nothing when no
    // field changes, so nothing renders). Where that cannot be foreseen (a
    // rendering would fail, or the observer's refit may) the engine renders
    // for real, which may throw, and the plan says so: its logo() is then
    // the line's.
    struct Plan {
        RenderState state;
        bool rendered = false;
    };
    std::optional<Plan> planLabelTexts(const QStringList& fields);
    // Whether a rendering leaves anything behind for the next one (an image
    // font aligned fill keeps its spacing), so that a line's logo can depend
    // on the lines before it beyond their texts.
    bool carriesState() const;
    // planLabelTexts for a line whose logo is not wanted, in a design where
    // nothing carries: only the last rendering is checked (the ones between
    // mix this line's texts and the last line's, both checked), so a line
    // whose rendering would fail still throws.
    std::optional<Plan> skimLabelTexts(const QStringList& fields);

    // Rebuilds the logo from the background, pieces and texts.
    void RenderLogo();
    qint32 MeasureLogoWidth();
    void ComposeBackground();

    // The logo bitmap (imgEdit's picture) as the last rendering left it.
    const Bitmap& logo() const { return logo_; }
    // The same logo with alpha (QImage::Format_ARGB32_Premultiplied), where
    // the design's background has alpha and it is wanted; else null. The
    // opaque logo stays what it always was: BMP files, the wallpaper.
    const QImage& alphaLogo() const { return alphaLogo_; }
    // Whether renderings also draw the logo with alpha (on unless a batch
    // writes files that cannot hold it).
    void setAlphaWanted(bool wanted) { alphaWanted_ = wanted; }
    bool alphaWanted() const { return alphaWanted_; }
    Design& design() { return design_; }
    const Design& design() const { return design_; }

    const QString& programFolder() const { return programFolder_; }
    // The folder the open design was opened from (empty: the program folder).
    const QString& designParent() const { return designParent_; }
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
    // The part of the logo the last rendering changed: the whole logo after
    // one that composed the background afresh.
    QRect changedArea() const { return changedArea_; }
    // Off: every rendering composes the whole logo afresh. On (the default):
    // when the background stays as it was, only the parts under texts that
    // changed are drawn again. The logo is the same either way.
    void setIncremental(bool on);

  private:
    // The plan for fields already taken: the state the last rendering starts
    // from, or a real rendering where one would fail. Unless it rendered,
    // charSpaces (when given) gets what the rendering would leave the fonts.
    Plan planTakenFields(std::vector<qint32>* charSpaces = nullptr);
    struct LabelInput {
        QString text;
        QString caption;
        QString defaultText;
    };

    // Steps the fonts as a rendering of the current texts would, undrawn,
    // with the spacings renderWouldSucceed found (one per image font).
    void leaveCharSpaces(const std::vector<qint32>& charSpaces);
    // Whether RenderLogo would get through with the current texts and fonts;
    // when it would, charSpaces (when given) gets the spacing each image
    // font's text is laid out with, which the rendering leaves behind.
    bool renderWouldSucceed(std::vector<qint32>* charSpaces = nullptr);
    // The inputs setLabelTexts(fields) changes, in order (0-based).
    std::vector<int> changedInputs(const QStringList& fields) const;
    // Takes the fields into the inputs without rendering; those listed in
    // changed are told to the observer.
    void takeFields(const QStringList& fields, const std::vector<int>& changed);
    // Takes every input's text from texts, telling the observer of those that differ.
    void takeTextsTold(const QStringList& texts);
    // Steps the fonts through the renderings that setting the changed inputs
    // one by one would do, without drawing: with last, the final rendering
    // too. False when one of them would fail; the state is then as before.
    bool simulateRenderings(const QStringList& fields, const std::vector<int>& changed, bool last);

    // The composed background's key: its width and, in mode character, the
    // shift of its pieces.
    struct BackgroundKey {
        qint64 width = -1;
        qint64 shift = 0;
        bool operator==(const BackgroundKey&) const = default;
    };
    BackgroundKey backgroundKey();
    qint64 characterShift() const;
    // Whether the logo can be brought up to date by drawing only the parts
    // under changed texts; then draws them.
    bool canPatch();
    void patchTexts();
    // The logo as it would be without any text, for the parts it needs.
    const Bitmap& background() const;

    // What the font sections see of the engine.
    qint32& LineNumber() override { return design_.LineNumber; }
    int AddLabelInput(const QString& editText, const QString& caption) override;
    std::vector<std::unique_ptr<TImgFont>>& ImgFonts() override { return design_.ImgFonts; }
    std::vector<std::unique_ptr<TTtfFont>>& TtfFonts() override { return design_.TtfFonts; }
    PictureBudget* pictureBudget() override { return &design_.Pictures; }

    EngineObserver& observer_;
    QString programFolder_;
    QString designParent_; // where the open design's folder lies, empty: programFolder_
    Design design_;
    std::vector<LabelInput> labels_; // input i at index i - 1
    Bitmap logo_;
    QImage alphaLogo_;
    bool alphaWanted_ = true;
    // The pieces (background, extra left, centre, right) that the logo with
    // alpha takes opaque, having no alpha of their own: converted once, each
    // with the key of the picture it was made from.
    std::array<std::pair<qint64, QImage>, 4> opaquePieces_;
    // Folder listings for the case-insensitive lookups of the open design.
    mutable PathResolver resolver_;
    int renderCount_ = 0;
    bool hasDesign_ = false;
    QStringList filesRead_;
    // While reopening: the texts the inputs keep, by number (null: default).
    QStringList keptTexts_;
    QRect changedArea_;
    bool incremental_ = true;
    // The last rendering's texts, while the logo holds exactly them.
    std::optional<DrawnTexts> drawn_;
    // In the expand modes: the composed background without texts, kept while
    // its width stays, with its key.
    Bitmap composed_;
    BackgroundKey composedKey_;
    BackgroundKey lastKey_;
};

} // namespace zot
