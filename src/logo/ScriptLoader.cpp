#include "logo/LogoEngine.h"
#include "platform/FontTable.h"
#include "platform/ImageLoader.h"
#include "script/IntegerConversion.h"

namespace zot {

namespace {

std::optional<ExpandMode> expandModeFromKeyword(const QString& value) {
    if (value == u"center")
        return ExpandMode::Center;
    if (value == u"character")
        return ExpandMode::Character;
    if (value == u"leftright")
        return ExpandMode::LeftRight;
    if (value == u"left")
        return ExpandMode::Left;
    if (value == u"right")
        return ExpandMode::Right;
    return std::nullopt;
}

// The end-of-script message for a mode whose pieces are missing, or none.
QString missingPieceMessage(const Design& d) {
    const QString left = QStringLiteral(
        "Background expand is set to Left without specifying a backgroundExtraLeft image.");
    const QString right = QStringLiteral(
        "Background expand is set to Right without specifying a backgroundExtraRight image.");
    switch (d.ExpandFrom) {
    case ExpandMode::None:
        return {};
    case ExpandMode::Center:
        return d.HasExtraCenter ? QString()
                                : QStringLiteral("Background expand is set to center without "
                                                 "specifying a backgroundExtraCenter image.");
    case ExpandMode::Character:
        return d.HasExtraCenter ? QString()
                                : QStringLiteral("Background expand is set to character without "
                                                 "specifying a backgroundExtraCenter image.");
    case ExpandMode::Left:
        return d.HasExtraLeft ? QString() : left;
    case ExpandMode::Right:
        return d.HasExtraRight ? QString() : right;
    case ExpandMode::LeftRight:
        if (!d.HasExtraRight)
            return right;
        return d.HasExtraLeft ? QString() : left;
    }
    return {};
}

} // namespace

void LogoEngine::ParseScript() {
    Design& d = design_;
    d.LineNumber = 0;
    d.TtfFonts.clear();
    d.ExtraMarge = 0;

    while (!reScript.isEmpty()) {
        const ScriptLine line = ReadScriptLine(reScript, d.LineNumber);
        const QString& cmd = line.command;
        if (cmd.isEmpty())
            continue;
        if (cmd == u"imgFont") {
            ParseImgFontSection(*this, reScript);
        } else if (cmd == u"ttfFont") {
            ParseTtfFontSection(*this, reScript);
        } else if (cmd == u"name") {
            observer_.captionChanged(line.value);
        } else if (cmd == u"installTempFontResource") {
            d.mFonts.append(line.value);
            d.mFontTable.add(designFile(line.value));
        } else if (cmd == u"backgroundExtraMarge") {
            d.ExtraMarge = StrToInt(line.value);
        } else if (cmd == u"backgroundImage") {
            d.imgBackground = loadPicture(designFile(line.value), d.Pictures);
            observer_.viewSizeSet(d.imgBackground.width(), d.imgBackground.height());
        } else if (cmd == u"backgroundExtraLeft") {
            d.imgExtraLeft = loadPicture(designFile(line.value), d.Pictures);
            d.HasExtraLeft = true;
        } else if (cmd == u"backgroundExtraCenter") {
            d.imgExtraCenter = loadPicture(designFile(line.value), d.Pictures);
            d.HasExtraCenter = true;
        } else if (cmd == u"backgroundExtraRight") {
            d.imgExtraRight = loadPicture(designFile(line.value), d.Pictures);
            d.HasExtraRight = true;
        } else if (cmd == u"backgroundExtraExpandFrom") {
            if (const auto mode = expandModeFromKeyword(line.value))
                d.ExpandFrom = *mode;
            else
                appendError(unknownValueReport(d.LineNumber, line.rawLine));
        } else {
            appendError(unknownCommandReport(d.LineNumber, line.rawLine));
        }
    }

    const QString missing = missingPieceMessage(d);
    if (missing.isEmpty())
        RenderLogo();
    else
        appendError(missing);
}

} // namespace zot
