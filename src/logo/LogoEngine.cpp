#include "logo/LogoEngine.h"

#include "platform/FontTable.h"
#include "platform/NativeFiles.h"
#include "platform/Paths.h"
#include "platform/TextDecoding.h"

namespace zot {

LogoEngine::LogoEngine(EditorHost& host, QString programFolder)
    : host_(host), programFolder_(std::move(programFolder)) {
    if (!programFolder_.isEmpty() && !programFolder_.endsWith(u'/'))
        programFolder_ += u'/';
}

LogoEngine::~LogoEngine() {
    // The fonts a design installed are only ours for the run.
    for (int id : std::as_const(design_.mFontIds))
        removeFont(id);
}

QString LogoEngine::designFolderPath() const {
    QString path = joinPath(programFolder_, design_.DesignFolder);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

QString LogoEngine::designFile(const QString& value) const {
    return resolver_.resolve(designFolderPath(), value);
}

QString LogoEngine::fontText(qint32 labelIndex) const {
    if (labelIndex < 1 || labelIndex > host_.labelCount())
        return {};
    return host_.labelText(labelIndex);
}

void LogoEngine::OpenDesign(const QString& folderName) {
    ResetDesign();
    host_.setOutputControlsEnabled(true);
    design_.ExpandFrom = ExpandMode::None;
    design_.HasExtraLeft = false;
    design_.HasExtraRight = false;
    design_.HasExtraCenter = false;
    design_.DesignFolder = folderName;
    resolver_.clear();
    design_.Pictures.reset();
    reScript.assign(readScriptLines(designFile(QStringLiteral("script.zot"))));
    host_.hideErrors();
    ParseScript();
    host_.cbSizeChange();
}

void LogoEngine::ResetDesign() {
    host_.setOutputControlsEnabled(false);
    host_.removeLabelInputs();
    while (!design_.mFonts.isEmpty()) {
        removeFont(design_.mFontIds.takeFirst());
        design_.mFonts.removeFirst();
    }
    design_.TtfFonts.clear();
    design_.ImgFonts.clear();
    design_.LineNumber = 0;
}

} // namespace zot
