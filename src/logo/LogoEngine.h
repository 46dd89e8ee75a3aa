#pragma once

#include "platform/Bitmap.h"
#include "platform/Paths.h"
#include "logo/Design.h"
#include "logo/EditorHost.h"
#include "script/ScriptReader.h"

#include <QString>

namespace zot {

// Loads designs and renders their logos for one editor. Widget-free: the
// editor window and the command-line tool both drive it through EditorHost.
// Operations that fail throw zot::Error; callers show it in the error box.
class LogoEngine {
  public:
    LogoEngine(EditorHost& host, QString programFolder);
    ~LogoEngine();
    LogoEngine(const LogoEngine&) = delete;
    LogoEngine& operator=(const LogoEngine&) = delete;

    // Resets, reads the design folder's script.zot, parses it (which renders
    // when the script passes its end check) and refits the zoom.
    // parentFolder holds the design folder; empty means the program folder.
    void OpenDesign(const QString& folderName, const QString& parentFolder = {});
    // Drops the open design: label inputs, temporary fonts, counters.
    void ResetDesign();
    // Parses reScript (consuming it). Called by OpenDesign.
    void ParseScript();

    // Rebuilds the logo from the background, pieces and texts.
    void RenderLogo();
    qint32 MeasureLogoWidth();
    void ComposeBackground();

    // The logo bitmap (imgEdit's picture) as the last rendering left it.
    const Bitmap& logo() const { return logo_; }
    Design& design() { return design_; }
    const Design& design() const { return design_; }
    EditorHost& host() { return host_; }

    const QString& programFolder() const { return programFolder_; }
    // The design folder's full path, ending in a separator.
    QString designFolderPath() const;
    // A file named by a script value, found in the design folder.
    QString designFile(const QString& value) const;
    // The current text a font draws: that of its label input, empty without one.
    QString fontText(qint32 labelIndex) const;

    // The script lines while a design is parsed.
    ScriptLines reScript;

    // Renders done since construction; tests count keystroke renders with it.
    int renderCount() const { return renderCount_; }

  private:
    EditorHost& host_;
    QString programFolder_;
    QString designParent_; // where the open design's folder lies, empty: programFolder_
    Design design_;
    Bitmap logo_;
    // Folder listings for the case-insensitive lookups of the open design.
    mutable PathResolver resolver_;
    int renderCount_ = 0;
};

} // namespace zot
